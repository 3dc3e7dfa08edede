#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_system_fixture.h"
#include "startup/settings.h"
#include "ui/dialog_host.h"
#include "ui/platform/person_input.h"
#include "ui/wdiag.h"

namespace ui {

// A host that records what the dialogs asked of the frame.
class RecordingHost : public DialogHost {
 public:
  using DialogHost::DialogHost;
  void MenuSet(int key, WDIAG* dialog, const data::Value&) override { menus.emplace_back(key, dialog); }
  void NEW_LOG_DIAG(LR_WDIALOG&, std::string_view name) override { openings.emplace_back(name); }
  void open_calendar(Handle edit, const data::Date& date) override { calendars.emplace_back(edit, date); }

  std::vector<std::pair<int, WDIAG*>> menus;
  std::vector<std::string> openings;
  std::vector<std::pair<Handle, data::Date>> calendars;
};

// A frame with its client window, the dialog resources of the tests and a recording host.
class DialogTest : public platform::WindowSystemTest {
 protected:
  void SetUp() override {
    startup::reset_settings();
    auto script = platform::ResourceScript::load(std::string(QV_SOURCE_DIR) + "/tests/ui/data/dialog_test.rc");
    ASSERT_TRUE(script) << script.error().text;
    ws.add_resources(*script);
    frame = make_window();
    ws.set_main_frame(frame);
    client = ws.CREATEWINDOW("MdiClient", "", platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 600, 400, frame, 0);
    host.set_windows(frame, client);
  }
  void TearDown() override { startup::reset_settings(); }

  // Dispatches every waiting message the way the frame's loop does: the active modeless dialog gets
  // its keyboard navigation first.
  int pump_with_dialogs() {
    int count = 0;
    platform::Message message;
    while (ws.PEEKMESSAGE(message, 0, 0, 0, platform::PM_REMOVE)) {
      ++count;
      if (host.hglobal && ws.ISDIALOGMESSAGE(host.hglobal, message)) continue;
      ws.TRANSLATEMESSAGE(message);
      ws.DISPATCHMESSAGE(message);
    }
    return count;
  }

  platform::Handle frame = 0;
  platform::Handle client = 0;
  RecordingHost host{ws, 0, 0};
  platform::PersonInput person{ws};
};

}  // namespace ui
