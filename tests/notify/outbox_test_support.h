#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../data/wtable_test_support.h"
#include "data/clock.h"
#include "data/date.h"
#include "data/record_lock.h"
#include "data/text.h"
#include "data/use_table.h"
#include "notify/outbox_dispatch.h"

namespace notify::testing {

// A program folder with an empty outbox (E_MSGS and E2_MSGS with their indexes) and a session on it.
struct OutboxSite {
  OutboxSite() {
    data::testing::create_indexed_table(f.session, "E_MSGS", f.folder / "BASES");
    data::testing::create_indexed_table(f.session, "E2_MSGS", f.folder / "BASES");
    std::filesystem::create_directories(f.folder / "HTML");
    std::filesystem::create_directories(f.folder / "MAIL/SEND");
  }
  std::unique_ptr<data::WDBTable> open(const char* table, const char* order) {
    return data::USE(f.session, {}, table, order);
  }
  const std::filesystem::path& root() const { return f.folder.path(); }

  data::testing::SessionFixture f;
  data::ManualClock clock{data::Date::from_ymd(2026, 12, 11), "10:00:00"};
};

// One outbox row as a writer of the suite leaves it; unset fields stay blank.
struct Row {
  std::map<std::string, data::Value> fields;
  Row& set(const std::string& name, data::Value value) {
    fields[name] = std::move(value);
    return *this;
  }
};

// A ready HTML-less row to `to`, queued at `hora`.
inline Row ready_row(const std::string& to, const std::string& hora, const std::string& subject = "Asunto") {
  Row row;
  row.set("FECHA", data::Date::from_ymd(2026, 12, 11))
      .set("HORA", hora)
      .set("NEGOCIO", "H01")
      .set("TO_USER", to)
      .set("SUBJECT", subject)
      .set("BODY", "Cuerpo del mensaje")
      .set("LISTO", 1);
  return row;
}

inline std::uint32_t append_row(data::WDBTable& table, const Row& row) {
  data::RecordLock lock{table, data::LockTarget::NewRecord};
  for (const auto& [name, value] : row.fields) table.put(name, value);
  lock.commit();
  return table.RecNo();
}

inline std::string field_text(data::WDBTable& table, std::uint32_t recno, const char* field) {
  table.GoTo(recno);
  const data::Value value = table.get(field);
  return value.is_text() ? data::ALLTRIM(value.text()) : std::string();
}

inline long field_number(data::WDBTable& table, std::uint32_t recno, const char* field) {
  table.GoTo(recno);
  return static_cast<long>(table.get(field).number());
}

// Keeps what the dispatch step showed: the last text of each field, the titles in order, traces.
class RecordingHost final : public DispatchHost {
 public:
  void set_field_text(int id, const std::string& text) override {
    fields[id] = text;
    field_history[id].push_back(text);
  }
  void set_main_title(const std::string& text) override { titles.push_back(text); }
  bool is_main_iconic() const override { return iconic; }
  void repaint() override { ++repaints; }
  void trace(std::string_view label) override { traces.emplace_back(label); }
  void multitask(int rounds) override {
    pumped_rounds += rounds;
    if (on_multitask) on_multitask();
  }
  void heartbeat() override { ++heartbeats; }

  bool iconic = false;
  std::map<int, std::string> fields;
  std::map<int, std::vector<std::string>> field_history;
  std::vector<std::string> titles;
  std::vector<std::string> traces;
  int repaints = 0;
  int pumped_rounds = 0;
  int heartbeats = 0;
  std::function<void()> on_multitask;
};

// An SMTP side that answers from `answer` (default: accept) and keeps every message it was given.
class StubTransport final : public OutboxTransport {
 public:
  int connect() override {
    ++connects;
    is_connected = connect_result >= 0;
    return connect_result;
  }
  int send(const OutboxMessage& message) override {
    sent.push_back(message);
    return answer ? answer(message) : 0;
  }
  void disconnect() override {
    ++disconnects;
    is_connected = false;
  }

  int connect_result = 0;
  std::function<int(const OutboxMessage&)> answer;
  std::vector<OutboxMessage> sent;
  int connects = 0;
  int disconnects = 0;
  bool is_connected = false;
};

// The Center's side of one dispatch: counters, flag and the two handles.
struct CenterState {
  explicit CenterState(OutboxSite& site)
      : E_MSGS2(site.open("E_MSGS", "E_MSGS4")), E2_MSGS(site.open("E2_MSGS", "E2_MSGS")), site(site) {}

  void dispatch(OutboxTransport& transport) {
    in_sending = 1;
    dispatch_outbox(DispatchContext{host, *E_MSGS2, *E2_MSGS, transport, site.clock,
                                    data::ProgramFolder(site.root()), "smtp.hotel.test", "server@hotel.test", nSent,
                                    nError, in_sending});
  }

  std::unique_ptr<data::WDBTable> E_MSGS2;
  std::unique_ptr<data::WDBTable> E2_MSGS;
  OutboxSite& site;
  RecordingHost host;
  int nSent = 0;
  int nError = 0;
  int in_sending = 0;
};

}  // namespace notify::testing
