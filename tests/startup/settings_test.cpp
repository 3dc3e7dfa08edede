#include "startup/settings.h"

#include <gtest/gtest.h>

namespace startup {
namespace {

TEST(Settings, StartWithTheirDefaults) {
  reset_settings();
  const Settings& s = settings();
  EXPECT_EQ(s.EXT_MODULO, "XXX");
  EXPECT_EQ(s.XEMAIL_ID, "Desconocido");
  EXPECT_TRUE(s.XU_COMP.is_empty());
  EXPECT_TRUE(s.XEMAIL_SMTP_PORT.is_empty());
  EXPECT_EQ(s.USER_NAME, "          ");
  EXPECT_EQ(s.SNID, 30000);
  EXPECT_EQ(s.XADSPARAMS.size(), 26u);
  EXPECT_EQ(s.XMULTITASK.calls, 1);
  EXPECT_EQ(s.XMULTITASK.every, 3);
  EXPECT_EQ(s.XTEMPPATH.is_local, 0);
  EXPECT_EQ(s.XO_COLOUR, (RgbTriple{192, 192, 192}));
  EXPECT_EQ(s.XH_COLOUR, (RgbTriple{200, 0, 0}));
  EXPECT_EQ(s.XPRINT_FONT, "Times New Roman");
  EXPECT_EQ(s.XDGROUPLIMIT, 10000);
  EXPECT_EQ(s.XAVAILABLE_FONTS.size(), 12u);
  EXPECT_FALSE(s.XADS_MYCONNECTION.has_value());
  EXPECT_FALSE(s.XINERRORSYS);
  EXPECT_EQ(s.XID_MENU.number(), 0);
}

TEST(Settings, ResetForgetsEveryChange) {
  settings().XEMAILHOST = "smtp.example.org";
  settings().XU_COMP = data::Value("01");
  settings().XGARBAGECOUNT = 42;
  reset_settings();
  EXPECT_EQ(settings().XEMAILHOST, "");
  EXPECT_TRUE(settings().XU_COMP.is_empty());
  EXPECT_EQ(settings().XGARBAGECOUNT, 0);
}

}  // namespace
}  // namespace startup
