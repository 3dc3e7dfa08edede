#include "startup/last_message.h"

#include <gtest/gtest.h>

#include "startup/settings.h"

namespace startup {
namespace {

TEST(LastMessage, SplitsTheWordsOfTheLastMessage) {
  reset_settings();
  EXPECT_EQ(_LASTWPARAM(), 0);
  record_last_message_words(0x00020001, 0x00C80064);  // wParam MK_LBUTTON-like, lParam y 200, x 100.
  EXPECT_EQ(_LASTWPARAM(), 0x00020001);
  EXPECT_EQ(_LASTHILPARAM(), 2);     // High word of wParam.
  EXPECT_EQ(_LASTLOLPARAM(), 1);     // Low word of wParam.
  EXPECT_EQ(_XLASTHILPARAM(), 200);  // High word of lParam.
  EXPECT_EQ(_XLASTLOLPARAM(), 100);  // Low word of lParam.
  EXPECT_EQ(settings().__L_LPARAM, 0x00C80064);
  record_last_message_words(0, 0xFFFFFFFF);  // Negative coordinates arrive as unsigned words.
  EXPECT_EQ(_XLASTLOLPARAM(), 0xFFFF);
  EXPECT_EQ(_XLASTHILPARAM(), 0xFFFF);
  reset_settings();
}

}  // namespace
}  // namespace startup
