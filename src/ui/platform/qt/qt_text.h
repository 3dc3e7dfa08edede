#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "ui/platform/styles.h"

namespace ui::platform {

// Texts are UTF-8 inside the program.
inline QString to_qt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string from_qt(const QString& text) { return text.toStdString(); }

// Edit styles the window system's table leaves to the controls.
inline constexpr Style ES_UPPERCASE = 0x8;
inline constexpr Style ES_LOWERCASE = 0x10;
inline constexpr Style SS_TYPEMASK = 0x1F;

// Scroll-bar requests of WM_VSCROLL / WM_HSCROLL.
inline constexpr std::int64_t SB_LINEUP = 0;
inline constexpr std::int64_t SB_LINEDOWN = 1;
inline constexpr std::int64_t SB_PAGEUP = 2;
inline constexpr std::int64_t SB_PAGEDOWN = 3;
inline constexpr std::int64_t SB_THUMBPOSITION = 4;
inline constexpr std::int64_t SB_TOP = 6;
inline constexpr std::int64_t SB_BOTTOM = 7;
inline constexpr std::int64_t SB_ENDSCROLL = 8;

}  // namespace ui::platform
