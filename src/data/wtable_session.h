#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/cdx_page_cache.h"
#include "data/message_box_sink.h"
#include "data/table_index.h"
#include "data/work_areas.h"
#include "data/wtable_retry.h"

namespace data {

class TXT_SRCH;

// What USE reads from the process-wide settings at the moment of each open. The owner of the
// session keeps it current (the login changes the sub-base, the main frame the module code and the
// local temporary folder).
struct TableSettings {
  std::filesystem::path program_folder{"."};
  std::string sub_base;            // XDBACCESS[1]: the user's data sub-base folder, blank for none.
  int is_local_temp = 0;           // XTEMPPATH[1]: private copies go to a local folder.
  std::string local_temp_folder;   // XTEMPPATH[2], without a trailing separator.
  std::string EXT_MODULO = "XXX";  // Extension of private copies ("MLS" in the mail server).
  std::string DEF_RDD = "DBFCDX";  // The default storage driver.
};

// A table registered for full-text indexing (a row of F_TXT_S): XTXT_SRCH_FILES holds these.
struct TextSearchFile {
  std::string table;
  std::string document_field;
};

// One work area's entry of XTXT_SRCH_VECTOR: whether its table is registered, the table's document
// field and its name.
struct TextSearchSlot {
  int is_on = 0;
  std::string document_field;
  std::string table;
};

// The data layer's state for one process: the work areas, the settings USE reads, the way the
// operator is told about busy tables, the retry clock, the production-index opener and the full-text
// registration. Business code passes it down; tests make their own with a test clock and sink.
// Not thread-safe: the user-interface thread owns it.
class TableSession {
 public:
  // Requires: `messages` and `clock` outlive the session.
  TableSession(TableSettings settings, MessageBoxSink& messages, RetryClock& clock);
  ~TableSession();
  TableSession(const TableSession&) = delete;
  TableSession& operator=(const TableSession&) = delete;

  TableSettings settings;
  // Opens the production index (the CDX beside a table) through page_cache(); set to empty, tables
  // open without their index.
  IndexOpener index_opener;
  std::vector<TextSearchFile> XTXT_SRCH_FILES;
  // The full-text index object; null disables the hook in the lock and unlock calls. Not owned.
  TXT_SRCH* XTXT_SRCH_OBJ = nullptr;

  WorkAreas& areas() { return m_areas; }
  // The index pages every table of the session shares.
  CdxPageCache& page_cache() { return m_page_cache; }
  MessageBoxSink& messages() { return *m_messages; }
  RetryClock& clock() { return *m_clock; }
  // Requires: 1 <= area <= WorkAreas::kMaxWorkAreas.
  TextSearchSlot& XTXT_SRCH_VECTOR(int area) { return m_text_search.at(static_cast<std::size_t>(area)); }
  // The driver a work area's table was opened with ("" for a free area).
  const std::string& driver(int area) const { return m_drivers.at(static_cast<std::size_t>(area)); }
  void set_driver(int area, std::string driver) {
    m_drivers.at(static_cast<std::size_t>(area)) = std::move(driver);
  }

  // Replaces the sink (the main frame installs its message boxes once it exists).
  void set_messages(MessageBoxSink& messages) { m_messages = &messages; }

 private:
  CdxPageCache m_page_cache;  // Declared before the work areas: their indexes use it until closed.
  WorkAreas m_areas;
  MessageBoxSink* m_messages;
  RetryClock* m_clock;
  std::vector<TextSearchSlot> m_text_search;
  std::vector<std::string> m_drivers;
};

}  // namespace data
