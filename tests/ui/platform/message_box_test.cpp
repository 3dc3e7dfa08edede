#include <gtest/gtest.h>

#include "ui/platform/message_box_buttons.h"
#include "window_system_fixture.h"

namespace ui::platform {
namespace {

using MessageBoxes = WindowSystemTest;

TEST_F(MessageBoxes, HeadlessBoxesAreLoggedAndAnsweredWithTheirDefaultButton) {
  const Handle frame = make_window();
  ws.set_main_frame(frame);
  const Handle edit = ws.CREATEWINDOW("Edit", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame, 500);
  ws.SETFOCUS(edit);
  EXPECT_EQ(ws.MESSAGE_BOX("¿Desea salir de la aplicación?", "Cierre de Aplicación", MB_OKCANCEL | MB_ICONQUESTION), IDOK);
  EXPECT_EQ(ws.XMESSAGE_BOX(0, "Línea 1\nLínea 2", "Atención", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(ws.GETFOCUS(), edit);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "MESSAGE_BOX owner=" + std::to_string(frame) +
                        " caption=\"Cierre de Aplicación\" text=\"¿Desea salir de la aplicación?\" buttons=OK/Cancel answer=OK");
  EXPECT_EQ(log[1], "MESSAGE_BOX owner=" + std::to_string(frame) +
                        " caption=\"Atención\" text=\"Línea 1\\nLínea 2\" buttons=Yes/No answer=No");
}

TEST(MessageBoxButtons, ButtonSetsAndDefaults) {
  struct Case {
    std::uint32_t flags;
    std::vector<int> buttons;
    int default_button;
  };
  const Case cases[] = {
      {MB_OK, {IDOK}, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, {IDOK, IDCANCEL}, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE},
      {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, IDYES},
      {MB_RETRYCANCEL | MB_DEFBUTTON3, {IDRETRY, IDCANCEL}, IDRETRY},  // No third button: the first.
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(message_box_buttons(c.flags), c.buttons);
    EXPECT_EQ(message_box_default_button(c.flags), c.default_button);
  }
}

// A back end that answers later, as a screen does: the box pumps messages meanwhile.
class LaterBackend final : public DisplayBackend {
 public:
  std::optional<int> message_box(const MessageBoxRequest& request) override {
    last_request = request.request;
    return std::nullopt;
  }
  void wait_for_input(std::optional<Millis> deadline) override {
    ++waits;
    if (waits == 2) {
      windows->answer_message_box(last_request, IDRETRY);
    } else {
      clock->wait_until(deadline);
    }
  }
  WindowSystem* windows = nullptr;
  Clock* clock = nullptr;
  int last_request = 0;
  int waits = 0;
};

TEST(MessageBoxPump, TimersRunWhileABoxWaitsForItsAnswer) {
  ManualClock clock;
  LaterBackend backend;
  WindowSystem ws(clock, backend);
  backend.windows = &ws;
  backend.clock = &clock;
  ws.REGISTERCLASS("Frame");
  const Handle frame = ws.CREATEWINDOW("Frame", "", WS_VISIBLE, 0, 0, 10, 10, 0, 0);
  int ticks = 0;
  ws.SUBCLASSWINDOW(
      frame,
      [&](Handle, MessageId, const Param&, const Param&) -> std::int64_t {
        ++ticks;
        return 0;
      },
      MessageFilter::only({WM_TIMER}));
  ws.SETTIMER(frame, 1, 1000);
  clock.advance(Millis{1000});
  EXPECT_EQ(ws.XMESSAGE_BOX(frame, "Tabla ocupada", "Atención", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(ticks, 2);  // Due at once, then again during the first wait.
  EXPECT_EQ(backend.waits, 2);
}

}  // namespace
}  // namespace ui::platform
