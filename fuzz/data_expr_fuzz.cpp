// Feeds arbitrary text to the expression compiler, as a damaged or hostile CDX header
// would, and evaluates whatever compiles. Compiling must give a value or an Error, and
// evaluating against a well-behaved row must never throw, crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/expr_expression.h"
#include "data/expr_memory_source.h"

namespace {

data::MemoryFieldSource make_row() {
  data::MemoryFieldSource row({{"NEGOCIO", {'C', 15, 0}},
                               {"CODIGO", {'C', 10, 0}},
                               {"FECHA", {'D', 8, 0}},
                               {"MONTO", {'N', 12, 2}},
                               {"ACTIVO", {'L', 1, 0}},
                               {"NOTA", {'M', 10, 0}}},
                              "T");
  row.set("NEGOCIO", "PINGÜINO");
  row.set("CODIGO", "cod00042ñ");
  row.set("FECHA", data::Date::from_ymd(2026, 12, 11));
  row.set("MONTO", -12345678.9);
  row.set("ACTIVO", true);
  row.set("NOTA", "línea\r\notra");
  row.set_today(data::Date::from_ymd(2026, 12, 11));
  return row;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const data::MemoryFieldSource row = make_row();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const data::Result<data::Expression> expression = data::Expression::compile(text, row);
  if (!expression) return 0;
  const data::Value value = expression->evaluate(row);
  (void)value;
  if (expression->result_kind() == data::ResultKind::Text) {
    std::string key;
    expression->key(row, key);
    if (key.size() != static_cast<std::size_t>(expression->result_width())) __builtin_trap();
  }
  return 0;
}
