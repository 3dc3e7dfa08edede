#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/demo_site.h"
#include "data/message_box_sink.h"
#include "data/schema_catalogue.h"
#include "data/site_builder.h"
#include "data/wtable_retry.h"
#include "shell/app_application.h"
#include "shell/main_resources.h"
#include "startup/settings.h"
#include "support/temp_folder.h"
#include "ui/platform/clock.h"
#include "ui/platform/window_system.h"

namespace shell_test {

using namespace ui::platform;

// A person at the screen, scripted: message boxes take the queued answers (the default button once
// they run out) and are recorded; actions run when the loop's clock reaches their time, so a test can
// look at the program, or end it, at a given moment without sleeping.
class ScriptedBackend final : public DisplayBackend {
 public:
  explicit ScriptedBackend(ManualClock& clock) : m_clock(clock) {}

  void answer(int button) { m_answers.push_back(button); }
  void at(Millis time, std::function<void()> action) { m_timed.emplace_back(time, std::move(action)); }
  const std::vector<MessageBoxRequest>& boxes() const { return m_boxes; }

  std::optional<int> message_box(const MessageBoxRequest& request) override {
    m_boxes.push_back(request);
    if (m_answers.empty()) return request.default_button;
    const int button = m_answers.front();
    m_answers.pop_front();
    return button;
  }

  void wait_for_input(std::optional<Millis> deadline) override {
    if (!m_timed.empty() && (!deadline || m_timed.front().first <= *deadline)) {
      auto [time, action] = std::move(m_timed.front());
      m_timed.pop_front();
      if (time > m_clock.now()) m_clock.set(time);
      action();
      return;
    }
    m_clock.wait_until(deadline);
  }

 private:
  ManualClock& m_clock;
  std::deque<int> m_answers;
  std::vector<MessageBoxRequest> m_boxes;
  std::deque<std::pair<Millis, std::function<void()>>> m_timed;
};

// A demo site in a temporary folder, built once per test.
inline void make_demo_site(const std::filesystem::path& folder) {
  data::Result<data::SchemaCatalogue> catalogue =
      data::SchemaCatalogue::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" / "schema");
  ASSERT_TRUE(catalogue) << catalogue.error().text;
  data::HeadlessMessageBoxSink messages(std::cerr);
  data::SteadyRetryClock clock;
  data::TableSession session(data::TableSettings{folder, "", 0, "", "MLS", "DBFCDX"}, messages, clock);
  const data::SiteBuilder builder(*catalogue, data::cdx_index_creator(session.page_cache()));
  const data::WorkstationClock today;
  const data::Result<void> made = data::create_demo_site(builder, session, folder, data::DemoMailSandbox{}, today);
  ASSERT_TRUE(made) << made.error().text;
}

// The program started on a demo site, on a manual clock, with a stand-in for the Notification
// Center registered under its command: a child window of the frame's client.
class FrameTest : public testing::Test {
 protected:
  static constexpr Millis kStart{1'000'000};

  void SetUp() override {
    ::setenv("HOMESHARE", (folder / "home").c_str(), 1);
    make_demo_site(folder.path());
    if (HasFatalFailure()) return;
    std::ostringstream errors;
    ASSERT_GT(shell::load_resources(ws, std::filesystem::path(QV_SOURCE_DIR) / "resources", errors), 0)
        << errors.str();
    before_start();
    app = std::make_unique<shell::Application>(ws, folder.path());
    if (stands_in_for_the_center()) app->commands().add(2984, [this](ui::DialogHost& host) {
      center_commands.push_back(startup::settings().XID_MENU);
      ws.REGISTERCLASS("CENTER_STAND_IN");
      const Handle client = host.client_window();
      centers.push_back(ws.CREATEWINDOWEX(0, "CENTER_STAND_IN", "QUARVELT Notification Center",
                                          WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, client, 0));
    });
    ASSERT_TRUE(app->start());
  }

  // Things a test puts in the program folder before the program starts.
  virtual void before_start() {}
  // False: command 2984 opens the program's own Notification Center.
  virtual bool stands_in_for_the_center() const { return true; }

  // Dispatches what is waiting, without waiting for timers.
  void pump() {
    Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ws.POSTQUITMESSAGE(static_cast<int>(message.wParam.number()));
        return;
      }
      ws.TRANSLATEMESSAGE(message);
      ws.DISPATCHMESSAGE(message);
    }
  }

  shell::Principal& frame() { return app->frame(); }

  test_support::TempFolder folder{"frame"};
  ManualClock clock{kStart};
  ScriptedBackend backend{clock};
  WindowSystem ws{clock, backend};
  std::unique_ptr<shell::Application> app;
  std::vector<data::Value> center_commands;
  std::vector<Handle> centers;
};

}  // namespace shell_test
