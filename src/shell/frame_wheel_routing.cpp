#include "shell/frame_wheel_routing.h"

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "data/date.h"
#include "ui/platform/text_case.h"

namespace shell {
namespace {

using namespace ui::platform;

constexpr MessageId EM_LINESCROLL = 0x00B6;
constexpr int VK_UP = 0x26;
constexpr int VK_DOWN = 0x28;
constexpr std::int64_t MK_CONTROL = 0x0008;
constexpr std::int64_t SB_LINEUP = 0;
constexpr std::int64_t SB_LINEDOWN = 1;
constexpr std::int64_t SB_ENDSCROLL = 8;
constexpr MessageId kPictureUp = 1045;
constexpr MessageId kPictureDown = 1046;
// Lists are looked for a little right of the pointer first: a grid's list sits under its headings'
// left edge, where the pointer often rests on the border.
constexpr int kListProbeOffset = 16;
// The marker the grids write into their list window's text, in UTF-8.
constexpr std::string_view kBrowseMarker = "B\xC3\xA4";
constexpr std::string_view kBrowseSeparator = "\xC3\xA4";

bool is_class(const WindowSystem& ws, Handle window, std::string_view name) {
  return equals_ignoring_case(ws.GETCLASSNAME(window), name);
}

bool is_served(const WindowSystem& ws, Handle window) {
  for (std::string_view name : {"LISTBOX", "SCROLLBAR", "EDIT", "COMBOBOX", "LR_PREVIEW_CLASS", "BUTTON", "RICHEDIT50W"}) {
    if (is_class(ws, window, name)) return true;
  }
  return false;
}

bool belongs_to(const WindowSystem& ws, Handle window, Handle ancestor) {
  for (Handle w = window; w != 0; w = ws.GETPARENT(w)) {
    if (w == ancestor) return true;
  }
  return false;
}

struct BrowseText {
  Handle browse = 0;
  std::int64_t number = 0;
};

std::optional<BrowseText> read_browse_text(std::string_view text) {
  if (!text.starts_with(kBrowseMarker)) return std::nullopt;
  text.remove_prefix(kBrowseMarker.size());
  const std::size_t separator = text.find(kBrowseSeparator);
  BrowseText result;
  const std::string_view handle = text.substr(0, separator);
  if (std::from_chars(handle.data(), handle.data() + handle.size(), result.browse).ec != std::errc{}) return std::nullopt;
  if (separator != std::string_view::npos) {
    const std::string_view number = text.substr(separator + kBrowseSeparator.size());
    std::from_chars(number.data(), number.data() + number.size(), result.number);
  }
  return result;
}

// An edit whose text is a date: "/" at positions 3 and 6, at most 10 characters, a year after 1900.
std::optional<data::Date> date_in(std::string_view text) {
  if (text.size() > 10 || text.size() < 6 || text[2] != '/' || text[5] != '/') return std::nullopt;
  const data::Date date = data::CTOD(text);
  if (date.is_blank() || date.year() <= 1900) return std::nullopt;
  return date;
}

}  // namespace

Handle route_wheel(WindowSystem& ws, const Message& wheel, Handle active_child) {
  if (active_child == 0) return 0;
  const auto delta = static_cast<std::int16_t>(C4W_HIWORD(wheel.wParam.number()));
  const bool is_up = delta > 0;
  const bool has_ctrl = (C4W_LOWORD(wheel.wParam.number()) & MK_CONTROL) != 0;
  const Point pointer{static_cast<std::int16_t>(C4W_LOWORD(wheel.lParam.number())),
                      static_cast<std::int16_t>(C4W_HIWORD(wheel.lParam.number()))};
  Handle target = ws.WINDOWFROMPOINT(Point{pointer.x + kListProbeOffset, pointer.y});
  if (!is_class(ws, target, "LISTBOX")) target = ws.WINDOWFROMPOINT(pointer);
  if (is_class(ws, target, "TIPFENSTER")) target = ws.GETFOCUS();
  if (target == 0 || !is_served(ws, target) || !belongs_to(ws, target, active_child)) return 0;

  const std::string text = ws.GETWINDOWTEXT(target);
  const std::int64_t lines = has_ctrl ? 6 : 2;
  if (is_class(ws, target, "RICHEDIT50W")) {
    ws.SENDMESSAGE(target, EM_LINESCROLL, 0, is_up ? -lines : lines);
  } else if (is_class(ws, target, "EDIT")) {
    if (const auto date = date_in(text)) {
      ws.SETWINDOWTEXT(target, data::DTOC(is_up ? *date - 1 : *date + 1));
    } else {
      ws.SENDMESSAGE(target, EM_LINESCROLL, 0, is_up ? -lines : lines);
    }
  } else if (is_class(ws, target, "LISTBOX") || is_class(ws, target, "SCROLLBAR")) {
    if (const auto browse = read_browse_text(text)) {
      ws.POSTMESSAGE(browse->browse, WM_VSCROLL, is_up ? SB_LINEUP : SB_LINEDOWN, 0);
      return target;
    }
  } else if (is_class(ws, target, "COMBOBOX")) {
    for (int press = 0; press < (has_ctrl ? 3 : 1); ++press) {
      ws.SENDMESSAGE(target, WM_KEYDOWN, is_up ? VK_UP : VK_DOWN, 0);
    }
  } else if (is_class(ws, target, "BUTTON")) {
    if (text == "TREEVIEW_CLASS") {
      ws.SENDMESSAGE(target, WM_VSCROLL, is_up ? SB_LINEUP : SB_LINEDOWN, 0);
    } else if (text == "DISP_META_CLASS") {
      ws.SENDMESSAGE(ws.GETPARENT(target), is_up ? kPictureUp : kPictureDown, 0, 0);
    }
  }
  return 0;
}

void end_browse_scroll(WindowSystem& ws, Handle list) {
  if (const auto browse = read_browse_text(ws.GETWINDOWTEXT(list))) {
    ws.POSTMESSAGE(browse->browse, WM_VSCROLL, SB_ENDSCROLL, browse->number);
  }
}

}  // namespace shell
