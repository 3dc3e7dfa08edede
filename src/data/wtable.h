#pragma once

#include <any>
#include <filesystem>
#include <string>
#include <string_view>

#include "data/dbf_table.h"
#include "data/result.h"
#include "data/value.h"
#include "data/wtable_session.h"

namespace data {

// An open table in its own work area: the base of the handles USE returns.
//
// A handle is opened once, by USE, and closed by KILLTABLA (Axit) or, at the latest, by its
// destructor. Closing a private copy of a template deletes the copy's files. The handle stays
// valid as an object after closing; its methods then find no table.
class WTable {
 public:
  WTable(const WTable&) = delete;
  WTable& operator=(const WTable&) = delete;
  virtual ~WTable();

  // Public as in the business code, in this order.
  Value Cargo;        // "BORRAR" (possibly "->" and the copied index) for private copies, else empty.
  std::string Alias;  // The stem padded with "0" to 7 characters, then the area as 3 digits.
  int Area = 0;
  std::string Name;  // The file name without folder, upper case, as opened.
  std::string RDD;
  int SEARCH_TXT = 0;  // 1 when the table is registered for full-text indexing.
  std::any oParent;    // The owner, usually the dialog that opened it.

  // Opens `file` once: in the lowest free area when `newarea`, else in the current one. Fails with
  // TableErrorCode::Busy when another program holds the table (the caller retries), NotFound when the
  // file is missing; nothing stays open on failure. Registers the area for full-text indexing when
  // the table is listed in XTXT_SRCH_FILES. Selects the table's area.
  [[nodiscard]] Result<void> Init(std::any owner, const std::filesystem::path& file, bool shared = true,
                                  bool newarea = true, bool readonly = false, std::string_view driver = "");
  // Closes the work area if it still holds this table and clears its full-text entry; for a
  // private copy, deletes the copy with its memo and index files. Errors are ignored. Idempotent.
  void Axit();

  bool is_open() const { return m_table != nullptr; }
  // The table of this handle. Throws RuntimeError when the handle is closed.
  DbfTable& table() const;
  TableSession& session() const { return *m_session; }
  // Full path of the table file as opened.
  const std::filesystem::path& path() const { return m_path; }

 protected:
  explicit WTable(TableSession& session) : m_session(&session) {}

 private:
  TableSession* m_session;
  DbfTable* m_table = nullptr;  // Owned by the work area; null once closed.
  std::filesystem::path m_path;
};

// The alias of a table file opened in `area`: its stem cut or padded with "0" to 7 characters, then
// the area number as 3 digits. DEFMAIL in area 12 is DEFMAIL012, LOG_DIAG in area 7 LOG_DIA007.
std::string work_area_alias(std::string_view file_name, int area);

}  // namespace data
