#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "data/dbf_table.h"
#include "data/message_box_sink.h"
#include "data/schema_catalogue.h"
#include "data/site_builder.h"
#include "data/wtable_retry.h"
#include "data/wtable_session.h"
#include "dbf_test_folder.h"

namespace data::testing {

// A retry clock that moves only when the code under test waits, so a five-second wait costs
// nothing. `on_wait` runs after each wait with the time passed since the clock was made, so a test
// can let go of a lock at a chosen moment.
class ManualRetryClock final : public RetryClock {
 public:
  std::chrono::steady_clock::time_point now() const override { return m_now; }
  void wait(std::chrono::milliseconds interval) override {
    m_now += interval;
    ++m_waits;
    if (on_wait) on_wait(std::chrono::duration_cast<std::chrono::milliseconds>(m_now - m_start));
  }
  std::chrono::milliseconds elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(m_now - m_start);
  }
  int waits() const { return m_waits; }

  std::function<void(std::chrono::milliseconds)> on_wait;

 private:
  std::chrono::steady_clock::time_point m_start{};
  std::chrono::steady_clock::time_point m_now{};
  int m_waits = 0;
};

// Keeps every message and the moment (on `clock`) it was shown.
class RecordingMessageBoxSink final : public MessageBoxSink {
 public:
  explicit RecordingMessageBoxSink(const ManualRetryClock* clock = nullptr) : m_clock(clock) {}
  int MESSAGE_BOX(std::string_view text, std::string_view caption, int flags) override {
    texts.emplace_back(text);
    captions.emplace_back(caption);
    moments.push_back(m_clock ? m_clock->elapsed() : std::chrono::milliseconds(0));
    return default_button(flags);
  }
  std::vector<std::string> texts;
  std::vector<std::string> captions;
  std::vector<std::chrono::milliseconds> moments;

 private:
  const ManualRetryClock* m_clock;
};

// The table catalogue of this source tree.
inline const SchemaCatalogue& source_catalogue() {
  static const SchemaCatalogue catalogue = [] {
    Result<SchemaCatalogue> loaded =
        SchemaCatalogue::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "schema");
    if (!loaded) std::abort();
    return std::move(*loaded);
  }();
  return catalogue;
}

// Creates the empty table `name` of the catalogue as `file` (no index).
inline void create_catalogued_table(const std::string& name, const std::filesystem::path& file) {
  const SchemaTable* table = source_catalogue().find(name);
  if (!table) std::abort();
  std::filesystem::create_directories(file.parent_path());
  TableCreateOptions options;
  options.code_page = table->code_page;
  Result<std::unique_ptr<DbfTable>> made = DbfTable::create(file, table->structure(), options);
  if (!made || !(*made)->close()) std::abort();
}

// Creates the empty table `name` of the catalogue in `folder`, with its production index.
inline void create_indexed_table(TableSession& session, const std::string& name, const std::filesystem::path& folder) {
  const SchemaTable* table = source_catalogue().find(name);
  if (!table) std::abort();
  const SiteBuilder builder(source_catalogue(), cdx_index_creator(session.page_cache()));
  if (!builder.create_table(*table, folder)) std::abort();
}

// A program folder for one test, with a session on it that uses a manual clock and records messages.
struct SessionFixture {
  TestFolder folder;
  ManualRetryClock clock;
  RecordingMessageBoxSink messages{&clock};
  TableSession session{TableSettings{folder.path(), "", 0, "", "MLS", "DBFCDX"}, messages, clock};
};

}  // namespace data::testing
