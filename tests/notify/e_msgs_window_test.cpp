// The outbox log window on the demo site, headless.
#include "notify/e_msgs_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "data/clock.h"
#include "data/demo_site.h"
#include "data/message_box_sink.h"
#include "data/record_lock.h"
#include "data/schema_catalogue.h"
#include "data/use_table.h"
#include "data/wtable_retry.h"
#include "startup/settings.h"
#include "support/temp_folder.h"
#include "ui/browse_messages.h"
#include "ui/dialog_host.h"
#include "ui/platform/headless/headless_backend.h"
#include "ui/platform/resource_script.h"

namespace notify {
namespace {

using ui::platform::Handle;
using ui::platform::Millis;

class OutboxLog : public ::testing::Test {
 protected:
  OutboxLog() : backend(clock, [this](std::string_view line) { log.emplace_back(line); }), ws(clock, backend) {
    ws.set_error_handler([this](const data::RuntimeError& error, const ui::platform::Message&) {
      errors.push_back(error.what());
    });
  }

  void SetUp() override {
    startup::reset_settings();
    auto catalogue = data::SchemaCatalogue::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "schema");
    ASSERT_TRUE(catalogue) << catalogue.error().text;
    const data::SiteBuilder builder(*catalogue, data::cdx_index_creator(session.page_cache()));
    const data::ManualClock today(data::Date::from_ymd(2026, 12, 11), "10:30:00");
    ASSERT_TRUE(data::create_demo_site(builder, session, folder.path(), data::DemoMailSandbox{}, today));
    // A third row, queued the day before to a recipient that sorts first.
    auto outbox = data::USE(session, {}, "E_MSGS", "E_MSGS");
    data::RecordLock lock(*outbox, data::LockTarget::NewRecord);
    outbox->put("FECHA", data::Value(data::Date::from_ymd(2026, 12, 10)));
    outbox->put("HORA", data::Value("23:59:00"));
    outbox->put("TO_USER", data::Value("ana@demo.test"));
    outbox->put("SUBJECT", data::Value("Aviso de ayer"));
    outbox->put("ENVIADO", data::Value(2));
    outbox->put("ERR_TEXT", data::Value("      -550"));
    lock.commit();
    outbox.reset();

    auto script = ui::platform::ResourceScript::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "e_msgs.rc");
    ASSERT_TRUE(script) << script.error().text;
    ws.add_resources(*script);
    ws.REGISTERCLASS("Frame");
    frame = ws.CREATEWINDOW("Frame", "frame", ui::platform::WS_OVERLAPPED | ui::platform::WS_VISIBLE, 0, 0, 1200, 800, 0, 0);
    ws.set_main_frame(frame);
    client = ws.CREATEWINDOW("MdiClient", "", ui::platform::WS_CHILD | ui::platform::WS_VISIBLE, 0, 0, 1200, 760, frame, 0);
    host.set_windows(frame, client);
  }
  void TearDown() override { startup::reset_settings(); }

  std::vector<std::string> rows(const E_MSGS& window) {
    return ws.describe(ws.GETDLGITEM(window.hWnd(), E_MSGS::kListId))->items;
  }
  // The recipient column of each shown row.
  std::vector<std::string> recipients(const E_MSGS& window) {
    std::vector<std::string> out;
    for (const std::string& row : rows(window)) {
      std::istringstream cells(row);
      std::string cell;
      for (int column = 1; column <= 4 && std::getline(cells, cell, '\t'); ++column) {}
      out.push_back(cell.substr(0, cell.find(' ')));
    }
    return out;
  }

  test_support::TempFolder folder{"outbox_log"};
  data::HeadlessMessageBoxSink sink{std::cerr};
  data::SteadyRetryClock retry_clock;
  data::TableSession session{data::TableSettings{folder.path(), "", 0, "", "MLS", "DBFCDX"}, sink, retry_clock};
  ui::platform::ManualClock clock{Millis{1'000'000}};
  std::vector<std::string> log;
  ui::platform::HeadlessBackend backend;
  ui::platform::WindowSystem ws;
  ui::DialogHost host{ws, 0, 0};
  std::vector<std::string> errors;
  Handle frame = 0;
  Handle client = 0;
};

TEST_F(OutboxLog, OpensWithItsRowsByDateAndSwitchesToRecipientByHeading) {
  E_MSGS& window = open_outbox_log(host, session, data::Value(std::string(data::kDemoBusiness)));
  ASSERT_NE(window.hWnd(), 0u);
  EXPECT_EQ(ws.GETWINDOWTEXT(window.hWnd()), "Log de Envío de emails");
  EXPECT_EQ(ws.GETWINDOWTEXT(ws.GETDLGITEM(window.hWnd(), -100)), "Hotel Demostración");
  ASSERT_NE(window.grid(), nullptr);
  EXPECT_EQ(window.grid()->model().NMAXREC, 3);

  // E_MSGS1: queue date and time; the two demo rows share theirs and keep record order.
  EXPECT_EQ(recipients(window), (std::vector<std::string>{"ana@demo.test", "recepcion@demo.test", "gerencia@demo.test"}));
  const std::vector<std::string> shown = rows(window);
  EXPECT_EQ(shown.front().substr(0, 8), "10/12/26");
  EXPECT_NE(shown.front().find("\t     2\t"), std::string::npos);  // Given up: ENVIADO 2.
  EXPECT_NE(shown.front().find("      -550"), std::string::npos);
  const std::vector<std::string> headings = window.grid()->model().headings();
  EXPECT_EQ(headings, (std::vector<std::string>{"Fecha", "Hora", "Estado", "Destino", "Subject", "Reserva", "Fecha E.",
                                                "Hora E.", "Error Text", "CC1", "CC2"}));

  const Handle list = ws.GETDLGITEM(window.hWnd(), E_MSGS::kListId);
  // Only "Fecha" and "Destino" switch the order.
  EXPECT_EQ(ws.SENDMESSAGE(list, ui::kBrowseHeadingClick, 5), 0);
  EXPECT_EQ(ws.SENDMESSAGE(list, ui::kBrowseHeadingClick, 4), 1);
  EXPECT_EQ(window.outbox()->table().controlling_order()->name(), "E_MSGS2");
  EXPECT_EQ(recipients(window), (std::vector<std::string>{"ana@demo.test", "gerencia@demo.test", "recepcion@demo.test"}));
  EXPECT_EQ(ws.SENDMESSAGE(list, ui::kBrowseHeadingClick, 1), 1);
  EXPECT_EQ(window.outbox()->table().controlling_order()->name(), "E_MSGS1");
  EXPECT_EQ(recipients(window).back(), "gerencia@demo.test");
  EXPECT_TRUE(errors.empty());
}

TEST_F(OutboxLog, SalirClosesTheWindowAndItsTable) {
  E_MSGS& window = open_outbox_log(host, session, data::Value(std::string(data::kDemoBusiness)));
  const Handle dialog = window.hWnd();
  ASSERT_NE(dialog, 0u);
  ws.SENDMESSAGE(dialog, ui::platform::WM_COMMAND, 2, 0);
  ui::platform::Message message;
  while (ws.PEEKMESSAGE(message, 0, 0, 0, ui::platform::PM_REMOVE)) ws.DISPATCHMESSAGE(message);
  EXPECT_FALSE(ws.ISWINDOW(dialog));
  host.collect_garbage();
  EXPECT_EQ(host.adopted_count(), 0u);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace notify
