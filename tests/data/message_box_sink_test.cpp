#include "data/message_box_sink.h"

#include <gtest/gtest.h>

#include <sstream>

namespace data {
namespace {

TEST(MessageBoxSink, TheDefaultButtonFollowsTheFlags) {
  struct Case {
    int flags;
    int button;
  };
  constexpr Case kCases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNO, IDYES},
      {MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, IDNO},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_RETRYCANCEL, IDRETRY},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.flags);
    EXPECT_EQ(default_button(c.flags), c.button);
  }
}

TEST(HeadlessMessageBoxSink, LogsEachMessageOnceAndCountsItsRepeats) {
  std::ostringstream log;
  {
    HeadlessMessageBoxSink sink(log);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(sink.MESSAGE_BOX("El dato se encuentra bloqueado: A0000001", "Alerta", MB_OK), IDOK);
    EXPECT_EQ(sink.MESSAGE_BOX("otro", "Error", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(sink.MESSAGE_BOX("otro", "Error", MB_OK), IDOK);
    EXPECT_EQ(sink.shown(), 5);
  }
  EXPECT_EQ(log.str(),
            "[message] Alerta: El dato se encuentra bloqueado: A0000001\n"
            "[message] (repeated 2 more times)\n"
            "[message] Error: otro\n"
            "[message] (repeated 1 more times)\n");
}

}  // namespace
}  // namespace data
