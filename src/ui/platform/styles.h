#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Window styles, control styles, and the indexes and commands of the window operations,
// with the values the business code and the dialog templates were written against.
namespace ui::platform {

using Style = std::uint32_t;

constexpr Style WS_OVERLAPPED = 0x00000000;
constexpr Style WS_POPUP = 0x80000000;
constexpr Style WS_CHILD = 0x40000000;
constexpr Style WS_MINIMIZE = 0x20000000;
constexpr Style WS_VISIBLE = 0x10000000;
constexpr Style WS_DISABLED = 0x08000000;
constexpr Style WS_CLIPSIBLINGS = 0x04000000;
constexpr Style WS_CLIPCHILDREN = 0x02000000;
constexpr Style WS_MAXIMIZE = 0x01000000;
constexpr Style WS_CAPTION = 0x00C00000;
constexpr Style WS_BORDER = 0x00800000;
constexpr Style WS_DLGFRAME = 0x00400000;
constexpr Style WS_VSCROLL = 0x00200000;
constexpr Style WS_HSCROLL = 0x00100000;
constexpr Style WS_SYSMENU = 0x00080000;
constexpr Style WS_THICKFRAME = 0x00040000;
constexpr Style WS_GROUP = 0x00020000;
constexpr Style WS_TABSTOP = 0x00010000;
constexpr Style WS_MINIMIZEBOX = 0x00020000;
constexpr Style WS_MAXIMIZEBOX = 0x00010000;

constexpr Style DS_MODALFRAME = 0x80;
constexpr Style DS_SETFONT = 0x40;
constexpr Style DS_CENTER = 0x800;

constexpr Style BS_PUSHBUTTON = 0x0;
constexpr Style BS_DEFPUSHBUTTON = 0x1;
constexpr Style BS_CHECKBOX = 0x2;
constexpr Style BS_AUTOCHECKBOX = 0x3;
constexpr Style BS_RADIOBUTTON = 0x4;
constexpr Style BS_3STATE = 0x5;
constexpr Style BS_AUTO3STATE = 0x6;
constexpr Style BS_GROUPBOX = 0x7;
constexpr Style BS_AUTORADIOBUTTON = 0x9;
constexpr Style BS_OWNERDRAW = 0xB;
constexpr Style BS_TYPEMASK = 0xF;

constexpr Style ES_MULTILINE = 0x4;
constexpr Style ES_PASSWORD = 0x20;
constexpr Style ES_AUTOHSCROLL = 0x80;
constexpr Style ES_READONLY = 0x800;
constexpr Style ES_WANTRETURN = 0x1000;

constexpr Style SS_LEFT = 0x0;
constexpr Style SS_CENTER = 0x1;
constexpr Style SS_RIGHT = 0x2;

constexpr Style CBS_SIMPLE = 0x1;
constexpr Style CBS_DROPDOWN = 0x2;
constexpr Style CBS_DROPDOWNLIST = 0x3;
constexpr Style CBS_SORT = 0x100;

constexpr Style LBS_NOTIFY = 0x1;
constexpr Style LBS_SORT = 0x2;
constexpr Style LBS_MULTIPLESEL = 0x8;
constexpr Style LBS_EXTENDEDSEL = 0x800;

constexpr Style SBS_HORZ = 0x0;
constexpr Style SBS_VERT = 0x1;

// GETWINDOWLONG / SETWINDOWLONG indexes; 0 and up address the window's extra slots.
constexpr int GWL_HWNDPARENT = -8;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;

// SHOWWINDOW commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;

// SETWINPOS flags.
constexpr std::uint32_t SWP_NOSIZE = 0x1;
constexpr std::uint32_t SWP_NOMOVE = 0x2;
constexpr std::uint32_t SWP_NOZORDER = 0x4;
constexpr std::uint32_t SWP_NOACTIVATE = 0x10;
constexpr std::uint32_t SWP_SHOWWINDOW = 0x40;
constexpr std::uint32_t SWP_HIDEWINDOW = 0x80;

// GETWINDOW commands.
constexpr int GW_HWNDFIRST = 0;
constexpr int GW_HWNDLAST = 1;
constexpr int GW_HWNDNEXT = 2;
constexpr int GW_HWNDPREV = 3;
constexpr int GW_OWNER = 4;
constexpr int GW_CHILD = 5;

// Menu flags.
constexpr std::uint32_t MF_STRING = 0x0;
constexpr std::uint32_t MF_BYCOMMAND = 0x0;
constexpr std::uint32_t MF_ENABLED = 0x0;
constexpr std::uint32_t MF_UNCHECKED = 0x0;
constexpr std::uint32_t MF_GRAYED = 0x1;
constexpr std::uint32_t MF_DISABLED = 0x2;
constexpr std::uint32_t MF_CHECKED = 0x8;
constexpr std::uint32_t MF_POPUP = 0x10;
constexpr std::uint32_t MF_MENUBARBREAK = 0x20;
constexpr std::uint32_t MF_MENUBREAK = 0x40;
constexpr std::uint32_t MF_HILITE = 0x80;
constexpr std::uint32_t MF_OWNERDRAW = 0x100;
constexpr std::uint32_t MF_BYPOSITION = 0x400;
constexpr std::uint32_t MF_SEPARATOR = 0x800;

// The value of a style, flag or identifier name that a dialog template may use
// ("WS_TABSTOP", "ES_PASSWORD", "IDOK"); nothing for an unknown name. Exact spelling.
std::optional<std::int64_t> predefined_value(std::string_view name);

}  // namespace ui::platform
