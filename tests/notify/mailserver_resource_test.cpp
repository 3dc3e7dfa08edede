// The dialog resource "MAILSERVER": the window the Center is built from.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>

#include "notify/notify_steps.h"
#include "ui/platform/resource_script.h"
#include "ui/platform/styles.h"

namespace notify {
namespace {

using ui::platform::DialogItem;
using ui::platform::DialogTemplate;
using Box = std::array<int, 4>;  // x, y, width, height in dialog units.

const DialogTemplate& mailserver_dialog() {
  static const ui::platform::ResourceScript script = [] {
    auto loaded = ui::platform::ResourceScript::load(std::filesystem::path(QV_SOURCE_DIR) / "resources" /
                                                     "mailserver.rc");
    if (!loaded) {
      ADD_FAILURE() << loaded.error().text;
      return ui::platform::ResourceScript{};
    }
    return std::move(*loaded);
  }();
  static const DialogTemplate kNone;
  const DialogTemplate* dialog = script.dialog("MAILSERVER");
  return dialog ? *dialog : kNone;
}

std::optional<DialogItem> item(int id) {
  for (const DialogItem& it : mailserver_dialog().items) {
    if (it.id == id) return it;
  }
  return std::nullopt;
}

TEST(MailServerResource, HasTheCentersCaptionFontAndSize) {
  const DialogTemplate& dialog = mailserver_dialog();
  EXPECT_EQ(dialog.caption, "QUARVELT Notification Center");
  EXPECT_EQ(dialog.font.face, "Times New Roman");
  EXPECT_EQ(dialog.font.point_size, 8);
  EXPECT_EQ(dialog.width, 433);
  EXPECT_EQ(dialog.height, 204);
  EXPECT_NE(dialog.style & ui::platform::WS_SYSMENU, 0u);
}

TEST(MailServerResource, FieldsAreDisabledEditBoxesTheProgramWrites) {
  struct Case {
    int id;
    int x, y, width, height;
    bool is_right_aligned;
  };
  constexpr Case kCases[] = {
      {502, 49, 2, 80, 12, false},   {505, 235, 2, 195, 12, true}, {506, 235, 15, 80, 12, true},
      {500, 49, 38, 80, 12, true},   {501, 49, 54, 379, 12, false}, {503, 49, 91, 80, 12, true},
      {504, 49, 106, 80, 12, true},
  };
  constexpr ui::platform::Style kRight = 0x2;  // ES_RIGHT
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.id);
    const std::optional<DialogItem> field = item(c.id);
    ASSERT_TRUE(field);
    EXPECT_EQ(field->class_name, "Edit");
    // Disabled: the operator cannot type into what the cycle writes.
    EXPECT_NE(field->style & ui::platform::WS_DISABLED, 0u);
    EXPECT_EQ((field->style & kRight) != 0, c.is_right_aligned);
    EXPECT_EQ((Box{field->x, field->y, field->width, field->height}), (Box{c.x, c.y, c.width, c.height}));
  }
}

TEST(MailServerResource, SwitchesCarryTheCaptionsOfTheirKindsInTheirPlaces) {
  for (std::size_t n = 0; n < kNotificationKinds.size(); ++n) {
    const NotificationKind& kind = kNotificationKinds[n];
    SCOPED_TRACE(kind.flag);
    const std::optional<DialogItem> box = item(static_cast<int>(kind.check_box));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->class_name, "Button");
    EXPECT_EQ(box->style & 0xF, 0x3u);  // BS_AUTOCHECKBOX: a click toggles it before CONF_NOTIFICA reads it.
    EXPECT_EQ(box->text, kind.caption);
    const int row = static_cast<int>(n);
    const Box expected = row < 5 ? Box{4, 139 + 12 * row, 216, 12} : Box{221, 139 + 12 * (row - 5), 206, 12};
    EXPECT_EQ((Box{box->x, box->y, box->width, box->height}), expected);
  }
}

TEST(MailServerResource, SalirIsButtonTwoInsideTheDialog) {
  const std::optional<DialogItem> salir = item(2);
  ASSERT_TRUE(salir);
  EXPECT_EQ(salir->text, "Salir");
  EXPECT_EQ(salir->width, 42);
  EXPECT_EQ(salir->height, 14);
  // Reachable on a screen: within the dialog's 433 x 204 units.
  EXPECT_LE(salir->x + salir->width, mailserver_dialog().width);
  EXPECT_LE(salir->y + salir->height, mailserver_dialog().height);
}

}  // namespace
}  // namespace notify
