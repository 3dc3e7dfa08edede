#include "data/wtable.h"

#include <cstdio>

#include "data/name_case.h"
#include "data/program_folder.h"
#include "data/runtime_error.h"
#include "data/text.h"

namespace data {
namespace {

void remove_quietly(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::remove(file, ec);
}

}  // namespace

std::string work_area_alias(std::string_view file_name, int area) {
  std::string stem(file_name);
  if (const std::size_t slash = stem.find_last_of("/\\:"); slash != std::string::npos)
    stem.erase(0, slash + 1);
  if (const std::size_t dot = stem.find('.'); dot != std::string::npos) stem.erase(dot);
  stem = upper_ascii(stem);
  stem.resize(7, '0');
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03d", area % 1000);
  return stem + digits;
}

WTable::~WTable() { Axit(); }

DbfTable& WTable::table() const {
  if (!m_table) throw RuntimeError("WDBTable", RDD.empty() ? "DBFCDX" : RDD, Name + " is not open");
  return *m_table;
}

Result<void> WTable::Init(std::any owner, const std::filesystem::path& file, bool shared, bool newarea,
                          bool readonly, std::string_view driver) {
  WorkAreas& areas = m_session->areas();
  const int area = newarea ? areas.lowest_free() : areas.current();
  if (area == 0) return table_error(TableErrorCode::Io, "every work area is in use");
  Area = area;
  Name = upper_ascii(file.filename().string());
  RDD = driver.empty() ? m_session->settings.DEF_RDD : std::string(driver);
  oParent = std::move(owner);
  Alias = work_area_alias(Name, area);

  // A name without extension is a table file NAME.DBF; the suite's Windows programs may have
  // spelled it in any case.
  const std::string with_extension = file.has_extension() ? file.string() : file.string() + ".DBF";
  m_path =
      find_case_insensitive(file.parent_path(), std::filesystem::path(with_extension).filename().string());

  TableOpenOptions options;
  options.share = shared ? Share::Shared : Share::Exclusive;
  options.access = readonly ? Access::ReadOnly : Access::ReadWrite;
  options.production_index = m_session->index_opener;
  Result<int> opened = areas.open_in(area, m_path, options, Alias);
  if (!opened) return opened.error();
  m_table = areas.table(area);
  m_session->set_driver(area, RDD);

  TextSearchSlot& slot = m_session->XTXT_SRCH_VECTOR(area);
  slot = TextSearchSlot{};
  SEARCH_TXT = 0;
  const std::string key = ALLTRIM(LEFT(Name, 15));
  for (const TextSearchFile& registered : m_session->XTXT_SRCH_FILES) {
    if (exact_equals(upper_ascii(ALLTRIM(LEFT(registered.table, 15))), key)) {
      SEARCH_TXT = 1;
      slot = TextSearchSlot{1, ALLTRIM(registered.document_field), Name};
      break;
    }
  }
  return {};
}

void WTable::Axit() {
  if (!m_table) return;
  WorkAreas& areas = m_session->areas();
  if (areas.table(Area) == m_table) {
    (void)areas.close(Area);
    m_session->XTXT_SRCH_VECTOR(Area) = TextSearchSlot{};
    m_session->set_driver(Area, "");
  }
  m_table = nullptr;
  if (Cargo.is_text() && Cargo.text().starts_with("BORRAR")) {
    // Private copies live in a folder of their own kind (TEMP); nothing else shares their name.
    remove_quietly(m_path);
    for (const char* extension : {".FPT", ".CDX", ".fpt", ".cdx"}) {
      std::filesystem::path companion = m_path;
      remove_quietly(companion.replace_extension(extension));
    }
  }
}

}  // namespace data
