#include <gtest/gtest.h>

#include "ui/dialog_traduct.h"

namespace ui {
namespace {

data::Value entry(const char* search, const char* replacement, int embedded) {
  return data::Value(data::ValueList{data::Value(search), data::Value(replacement), data::Value(embedded)});
}

TEST(CheckTraduct, ReplacesOneOccurrenceByTheFirstEntryThatApplies) {
  struct Case {
    data::ValueList traduct;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      // A word entry needs a blank after (or before) the word, unless it is the whole text.
      {{entry("Nombre", "Name", 0)}, "Nombre:", "Nombre:"},
      {{entry("Nombre", "Name", 0)}, "Nombre del cliente", "Name del cliente"},
      {{entry("Nombre", "Name", 0)}, "Su Nombre", "Su Name"},
      {{entry("Nombre", "Name", 0)}, "nombre", "Name"},  // Found whatever its case.
      // An embedded entry replaces wherever the text occurs.
      {{entry("Nombre", "Name", 1)}, "Nombre:", "Name:"},
      {{entry("Nombre", "Name", 1)}, "Sobrenombre", "SobreName"},
      // Only one occurrence, by the first entry that applies.
      {{entry("de", "of", 0), entry("Fecha", "Date", 0)}, "Fecha de Fecha", "Fecha of Fecha"},
      {{entry("", "x", 1), entry("Año", "Year", 1)}, "AÑO:", "Year:"},  // Empty searches are skipped.
      {{entry("Código", "Code", 0)}, "Sin cambio", "Sin cambio"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CHECK_TRADUCT(std::string_view(c.text), c.traduct), c.expected);
  }
}

TEST(CheckTraduct, LeavesValuesThatAreNotTextAlone) {
  const data::ValueList traduct{entry("1", "2", 1)};
  const data::Value number = CHECK_TRADUCT(data::Value(1), traduct);
  EXPECT_TRUE(number.is_number());
  EXPECT_EQ(number.number(), 1);
  EXPECT_TRUE(CHECK_TRADUCT(data::Value(), traduct).is_empty());
}

}  // namespace
}  // namespace ui
