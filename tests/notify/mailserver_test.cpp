// The Notification Center on the headless window system, against the sandbox's real SMTP server:
// construction, the cycle on timer 1, the heartbeat on timer 2, dropped ticks, the switches, and a
// run-time error inside a cycle. Timers move with the window system's manual clock; nothing sleeps.
#include "notify/mailserver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data/heartbeat.h"
#include "data/record_change.h"
#include "data/record_lock.h"
#include "data/runtime_error.h"
#include "data/site_builder.h"
#include "data/use_table.h"
#include "data/wtable_test_support.h"  // tests/data/
#include "startup/settings.h"
#include "support/mail_servers.h"
#include "support/temp_folder.h"
#include "transport/transport_fixtures.h"  // tests/transport/
#include "ui/dialog_host.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/person_input.h"
#include "ui/platform/resource_script.h"

namespace notify {
namespace {

using data::Value;
using ui::platform::Handle;
using ui::platform::Millis;
using Steps = std::vector<std::string>;

const test_support::MailServers& servers() {
  return test_support::MailServers::in(QV_MAIL_SERVERS_DIR, QV_MAIL_SERVERS_SCRIPT);
}

const ui::platform::ResourceScript& center_resources() {
  static const ui::platform::ResourceScript script = [] {
    auto loaded =
        ui::platform::ResourceScript::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "mailserver.rc");
    if (!loaded) std::abort();
    return std::move(*loaded);
  }();
  return script;
}

// A site with the Center's tables and one DEFMAIL row pointing at the sandbox, a window system on a
// manual clock with a frame, and the services the Center runs on. The Center opens on demand.
class MailServerTest : public testing::Test {
 protected:
  MailServerTest() {
    const data::SiteBuilder builder(data::testing::source_catalogue(), data::cdx_index_creator(session.page_cache()));
    if (!builder.create_empty_site(site.path())) std::abort();
    startup::reset_settings();
    startup::Settings& settings = startup::settings();
    settings.program_folder = data::ProgramFolder(site.path());
    settings.workstation_clock = today;
    settings.XEMAIL_SMTP_PORT = Value(servers().port("SMTP_PLAIN_PORT"));
    recipient = transport_test::fresh_user() + "@localhost";

    ws.add_resources(center_resources());
    ws.set_error_handler([this](const data::RuntimeError& error, const ui::platform::Message&) {
      errors.push_back(error.detail());
    });
    ws.REGISTERCLASS("Frame");
    frame = ws.CREATEWINDOW("Frame", "MailServer Quarvelt", ui::platform::WS_OVERLAPPED | ui::platform::WS_VISIBLE,
                            0, 0, 800, 600, 0, 0);
    host = std::make_unique<ui::DialogHost>(ws, frame, 0);
    settings.XAPPHANDLE = frame;

    defmail = data::USE(session, {}, "DEFMAIL", "DEFMAIL");
    data::ADD_NEW_REC(session);
    defmail->put("NEGOCIO", Value("HOTEL1"));
    defmail->put("NEGOCIO_H", Value("HOTEL1"));
    defmail->put("HOST", Value(servers().host()));
    defmail->put("USERADDR", Value("notifica@localhost"));
    defmail->put("USERNAME", Value("Notificaciones"));
    defmail->put("MAX_WAIT2", Value(30));
    data::UNLOCK_NEW_REC(session);
  }

  ~MailServerTest() override {
    if (center && ws.ISWINDOW(center->hWnd())) ws.DESTROYWINDOW(center->hWnd());
    startup::reset_settings();
  }

  void set_defmail(std::string_view field, const Value& value) {
    defmail->GoTop();
    data::RecordLock lock{*defmail};
    defmail->put(field, value);
    lock.commit();
  }

  // Queues a ready plain-text row for the sandbox recipient.
  void queue(const std::string& subject, int listo = 1) {
    auto msgs = data::USE(session, {}, "E_MSGS", "E_MSGS1");
    data::ADD_NEW_REC(session);
    msgs->put("FECHA", Value(today->today()));
    msgs->put("HORA", Value(today->time_of_day()));
    msgs->put("NEGOCIO", Value("HOTEL1"));
    msgs->put("TO_USER", Value(recipient));
    msgs->put("SUBJECT", Value(subject));
    msgs->put("BODY", Value("Mensaje de prueba.\r\n"));
    msgs->put("LISTO", Value(listo));
    data::UNLOCK_NEW_REC(session);
  }

  // ENVIADO of every outbox row, in record order.
  std::vector<int> sent_flags() {
    auto msgs = data::USE(session, {}, "E_MSGS");
    std::vector<int> flags;
    for (msgs->GoTop(); !msgs->Eof(); msgs->Skip()) flags.push_back(static_cast<int>(msgs->get("ENVIADO").number()));
    return flags;
  }

  MAILSERVER& open_center() {
    center = &MAILSERVER::NEW(*host, "MAILSERVER", services);
    center->on_step = [this](std::string_view step) {
      steps.emplace_back(step);
      if (during_step) during_step(std::string(step));
    };
    return *center;
  }

  // Dispatches what is waiting, timers that are due included.
  void pump() {
    ui::platform::Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, ui::platform::PM_REMOVE)) {
      ws.TRANSLATEMESSAGE(message);
      ws.DISPATCHMESSAGE(message);
    }
  }

  void advance(Millis step) {
    clock.advance(step);
    pump();
  }

  int cycles() const { return static_cast<int>(std::count(steps.begin(), steps.end(), "RESPONDER")); }

  std::string heartbeat_file() {
    std::ifstream in(site.path() / "HBEAT" / "MAILSERV.HBT", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  test_support::TempFolder site{"center"};
  data::testing::ManualRetryClock retry_clock;
  data::testing::RecordingMessageBoxSink messages{&retry_clock};
  data::TableSession session{data::TableSettings{site.path(), "", 0, "", "MLS", "DBFCDX"}, messages, retry_clock};
  std::shared_ptr<data::ManualClock> today =
      std::make_shared<data::ManualClock>(data::Date::from_ymd(2026, 12, 11), "10:00:00");
  ui::platform::ManualClock clock{Millis{5'000'000}};
  std::vector<std::string> log;
  ui::platform::HeadlessBackend backend{clock, [this](std::string_view line) { log.emplace_back(line); }};
  ui::platform::WindowSystem ws{clock, backend};
  Handle frame = 0;
  std::unique_ptr<ui::DialogHost> host;
  std::unique_ptr<data::WDBTable> defmail;
  transport::MailAccount account;
  std::vector<std::string> status_lines;
  CenterServices services{session, account, {}, {}, [this](std::string_view line) { status_lines.emplace_back(line); }};
  std::string recipient;
  MAILSERVER* center = nullptr;
  Steps steps;
  std::function<void(const std::string&)> during_step;
  std::vector<std::string> errors;
};

TEST_F(MailServerTest, OpensFillsItsFieldsAndSwitchesAndSendsTheReadyRowsInItsFirstCycle) {
  set_defmail("NOTIFICA2", Value(1));
  set_defmail("NOTIFICA6", Value(1));
  queue("Primera");
  queue("Segunda");
  queue("En preparación", 0);
  MAILSERVER& c = open_center();

  EXPECT_EQ(c.item_text(kFieldUp), "11/12/26 10:00:00");
  for (const NotificationKind& kind : kNotificationKinds) {
    SCOPED_TRACE(kind.flag);
    EXPECT_EQ(c.is_checked(kind.check_box), kind.check_box == 1002 || kind.check_box == 1006);
  }
  EXPECT_EQ(sent_flags(), (std::vector<int>{1, 1, 0}));
  EXPECT_EQ(c.nSent, 2);
  EXPECT_EQ(c.in_sending, 0);
  EXPECT_EQ(transport_test::raw_messages(recipient.substr(0, recipient.find('@'))).size(), 2u);
  // The Center wrote its heartbeat when it opened.
  EXPECT_FALSE(heartbeat_file().empty());
  // Nobody sees the window headless: the fields were echoed as lines.
  EXPECT_NE(std::find(status_lines.begin(), status_lines.end(), "Up: 11/12/26 10:00:00"), status_lines.end());
  EXPECT_TRUE(errors.empty());
}

TEST_F(MailServerTest, RunsACycleEveryMaxWait2SecondsAndBeatsEveryMinute) {
  struct Case {
    int max_wait2;
    Millis period;
  };
  const Case kCases[] = {{30, Millis{30'000}}, {0, Millis{60'000}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.max_wait2);
    set_defmail("MAX_WAIT2", Value(c.max_wait2));
    MAILSERVER& opened = open_center();
    steps.clear();
    advance(c.period - Millis{1});
    EXPECT_EQ(cycles(), 0);
    advance(Millis{1});
    EXPECT_EQ(cycles(), 1);
    advance(c.period);
    EXPECT_EQ(cycles(), 2);
    ws.DESTROYWINDOW(opened.hWnd());
    center = nullptr;
  }
}

TEST_F(MailServerTest, TheHeartbeatTimerRewritesTheBeatFile) {
  set_defmail("MAX_WAIT2", Value(3600));
  open_center();
  const std::string first = heartbeat_file();
  today->set(data::Date::from_ymd(2026, 12, 11), "10:01:00");
  advance(Millis{59'999});
  EXPECT_EQ(heartbeat_file(), first);
  advance(Millis{1});
  EXPECT_NE(heartbeat_file(), first);
  EXPECT_EQ(heartbeat_file(), data::heartbeat_line(data::Date::from_ymd(2026, 12, 11), "10:01:00"));
}

TEST_F(MailServerTest, WithEverySwitchOffACycleStillPollsFollowsUpDeliversFilesAndDispatches) {
  open_center();
  steps.clear();
  queue("Sin notificaciones");
  advance(Millis{30'000});
  EXPECT_EQ(steps, (Steps{"RESPONDER", "FOLLOWUP", "CHECK_E_FTP", "dispatch"}));
  EXPECT_EQ(sent_flags(), (std::vector<int>{1}));
}

TEST_F(MailServerTest, ATickThatArrivesDuringACycleIsDropped) {
  open_center();
  steps.clear();
  int nested_cycles = -1;
  during_step = [&](const std::string& step) {
    if (step != "FOLLOWUP") return;
    // The cycle pumps messages while it works; a whole period (and a heartbeat) passes meanwhile.
    clock.advance(Millis{60'000});
    pump();
    nested_cycles = cycles();
  };
  advance(Millis{30'000});
  EXPECT_EQ(nested_cycles, 1);
  during_step = nullptr;
  // Dropped, not queued: nothing runs until the next period is due.
  pump();
  EXPECT_EQ(cycles(), 1);
  advance(Millis{30'000});
  EXPECT_EQ(cycles(), 2);
}

TEST_F(MailServerTest, ClickingASwitchRewritesAllSevenFlags) {
  set_defmail("NOTIFICA3", Value(1));
  MAILSERVER& c = open_center();
  ui::platform::PersonInput person(ws);
  person.click(c.item(1005));
  pump();
  defmail->GoTop();
  std::vector<int> flags;
  for (const NotificationKind& kind : kNotificationKinds) flags.push_back(static_cast<int>(defmail->get(kind.flag).number()));
  EXPECT_EQ(flags, (std::vector<int>{0, 0, 1, 0, 1, 0, 0}));
  // The next cycle runs the kinds switched on now.
  steps.clear();
  advance(Millis{30'000});
  EXPECT_EQ(steps, (Steps{"RESPONDER", "CHECK_COMPRAS", "CHECK_ACCIONES", "FOLLOWUP", "CHECK_E_FTP", "dispatch"}));
}

TEST_F(MailServerTest, AnErrorInsideACycleReachesTheErrorHandlerAndTheCenterGoesOn) {
  open_center();
  during_step = [](const std::string& step) {
    if (step == "CHECK_E_FTP") throw data::RuntimeError("CHECK_E_FTP", "notify", "E_FTP.DBF unreadable");
  };
  advance(Millis{30'000});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("E_FTP.DBF unreadable"), std::string::npos);
  EXPECT_EQ(center->in_sending, 0);
  EXPECT_EQ(center->inWndProc, 0);
  during_step = nullptr;
  steps.clear();
  advance(Millis{30'000});
  EXPECT_EQ(steps.back(), "dispatch");
}

TEST_F(MailServerTest, ATraceFileGetsTheDispatchLabelsInOrder) {
  MAILSERVER& c = open_center();
  c.fnTrace = std::make_unique<TraceFile>(site.path() / "TRACE.TXT", std::ios::binary);
  queue("Con traza");
  advance(Millis{30'000});
  c.fnTrace.reset();
  std::ifstream in(site.path() / "TRACE.TXT", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "8\r\n9\r\n9-1\r\n9-2\r\n10\r\n11\r\n");
}

TEST_F(MailServerTest, ASiteWhoseSettingsRowIsGoneStillOpensAndCyclesEveryMinute) {
  defmail->GoTop();
  {
    data::RecordLock lock{*defmail};
    defmail->Delete();
    lock.commit();
  }
  MAILSERVER& c = open_center();
  EXPECT_TRUE(ws.ISWINDOW(c.hWnd()));
  steps.clear();
  advance(Millis{60'000});
  EXPECT_EQ(steps, (Steps{"RESPONDER", "FOLLOWUP", "CHECK_E_FTP", "dispatch"}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(MailServerTest, SalirStopsTheTimersAndClosesTheWindowAndTables) {
  MAILSERVER& c = open_center();
  ui::platform::PersonInput person(ws);
  const Handle window = c.hWnd();
  person.click(c.item(2));
  pump();
  EXPECT_FALSE(ws.ISWINDOW(window));
  steps.clear();
  advance(Millis{120'000});
  EXPECT_TRUE(steps.empty());
  center = nullptr;
}

}  // namespace
}  // namespace notify
