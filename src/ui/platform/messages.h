#pragma once

#include <cstdint>

// The message numbers, notification codes and flags of the window system. They keep the
// values the business code was written against, because handlers compare them as numbers
// (a timer handler tests for 275, the frame installs itself for a list of numbers).
namespace ui::platform {

using MessageId = std::uint32_t;

// Window messages.
constexpr MessageId WM_NULL = 0x0000;
constexpr MessageId WM_CREATE = 0x0001;
constexpr MessageId WM_DESTROY = 0x0002;
constexpr MessageId WM_MOVE = 0x0003;
constexpr MessageId WM_SIZE = 0x0005;
constexpr MessageId WM_ACTIVATE = 0x0006;
constexpr MessageId WM_SETFOCUS = 0x0007;
constexpr MessageId WM_KILLFOCUS = 0x0008;
constexpr MessageId WM_ENABLE = 0x000A;
constexpr MessageId WM_SETTEXT = 0x000C;
constexpr MessageId WM_GETTEXT = 0x000D;
constexpr MessageId WM_GETTEXTLENGTH = 0x000E;
constexpr MessageId WM_PAINT = 0x000F;
constexpr MessageId WM_CLOSE = 0x0010;
constexpr MessageId WM_QUIT = 0x0012;
constexpr MessageId WM_SHOWWINDOW = 0x0018;
constexpr MessageId WM_CHILDACTIVATE = 0x0022;
constexpr MessageId WM_SETFONT = 0x0030;
constexpr MessageId WM_GETFONT = 0x0031;
constexpr MessageId WM_WINDOWPOSCHANGED = 0x0047;
constexpr MessageId WM_COPYDATA = 0x004A;
constexpr MessageId WM_NOTIFY = 0x004E;
constexpr MessageId WM_NCCREATE = 0x0081;
constexpr MessageId WM_NCDESTROY = 0x0082;
constexpr MessageId WM_NCACTIVATE = 0x0086;
constexpr MessageId WM_GETDLGCODE = 0x0087;
constexpr MessageId WM_KEYDOWN = 0x0100;
constexpr MessageId WM_KEYUP = 0x0101;
constexpr MessageId WM_CHAR = 0x0102;
constexpr MessageId WM_SYSKEYDOWN = 0x0104;
constexpr MessageId WM_SYSKEYUP = 0x0105;
constexpr MessageId WM_SYSCHAR = 0x0106;
constexpr MessageId WM_INITDIALOG = 0x0110;
constexpr MessageId WM_COMMAND = 0x0111;
constexpr MessageId WM_SYSCOMMAND = 0x0112;
constexpr MessageId WM_TIMER = 0x0113;
constexpr MessageId WM_HSCROLL = 0x0114;
constexpr MessageId WM_VSCROLL = 0x0115;
constexpr MessageId WM_MENUSELECT = 0x011F;
constexpr MessageId WM_MOUSEMOVE = 0x0200;
constexpr MessageId WM_LBUTTONDOWN = 0x0201;
constexpr MessageId WM_LBUTTONUP = 0x0202;
constexpr MessageId WM_RBUTTONDOWN = 0x0204;
constexpr MessageId WM_MOUSEWHEEL = 0x020A;
constexpr MessageId WM_MDIACTIVATE = 0x0222;
constexpr MessageId WM_USER = 0x0400;
constexpr MessageId kFirstRegisteredMessage = 0xC000;

// WM_SYSCOMMAND, WM_ACTIVATE, WM_SIZE.
constexpr std::int64_t SC_CLOSE = 0xF060;
constexpr std::int64_t WA_INACTIVE = 0;
constexpr std::int64_t WA_ACTIVE = 1;
constexpr std::int64_t SIZE_RESTORED = 0;
constexpr std::int64_t SIZE_MINIMIZED = 1;
constexpr std::int64_t SIZE_MAXIMIZED = 2;

// Dialogs.
constexpr MessageId DM_GETDEFID = WM_USER + 0;
constexpr MessageId DM_SETDEFID = WM_USER + 1;
constexpr std::int64_t DC_HASDEFID = 0x534B;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;
constexpr std::int64_t DLGC_WANTARROWS = 0x0001;
constexpr std::int64_t DLGC_WANTTAB = 0x0002;
constexpr std::int64_t DLGC_WANTALLKEYS = 0x0004;
constexpr std::int64_t DLGC_HASSETSEL = 0x0008;
constexpr std::int64_t DLGC_DEFPUSHBUTTON = 0x0010;
constexpr std::int64_t DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr std::int64_t DLGC_RADIOBUTTON = 0x0040;
constexpr std::int64_t DLGC_WANTCHARS = 0x0080;
constexpr std::int64_t DLGC_STATIC = 0x0100;
constexpr std::int64_t DLGC_BUTTON = 0x2000;

// Buttons.
constexpr MessageId BM_GETCHECK = 0x00F0;
constexpr MessageId BM_SETCHECK = 0x00F1;
constexpr MessageId BM_GETSTATE = 0x00F2;
constexpr MessageId BM_SETSTATE = 0x00F3;
constexpr MessageId BM_SETSTYLE = 0x00F4;
constexpr MessageId BM_CLICK = 0x00F5;
constexpr std::int64_t BST_UNCHECKED = 0;
constexpr std::int64_t BST_CHECKED = 1;
constexpr std::int64_t BST_INDETERMINATE = 2;
constexpr std::int64_t BN_CLICKED = 0;

// Edit fields.
constexpr MessageId EM_GETSEL = 0x00B0;
constexpr MessageId EM_SETSEL = 0x00B1;
constexpr MessageId EM_GETLINECOUNT = 0x00BA;
constexpr MessageId EM_GETMODIFY = 0x00B8;
constexpr MessageId EM_SETMODIFY = 0x00B9;
constexpr MessageId EM_REPLACESEL = 0x00C2;
constexpr MessageId EM_LIMITTEXT = 0x00C5;
constexpr MessageId EM_CANUNDO = 0x00C6;
constexpr MessageId EM_UNDO = 0x00C7;
constexpr MessageId EM_SETPASSWORDCHAR = 0x00CC;
constexpr MessageId EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr MessageId EM_GETPASSWORDCHAR = 0x00D2;
constexpr MessageId EM_SETREADONLY = 0x00CF;
constexpr std::int64_t EN_SETFOCUS = 0x0100;
constexpr std::int64_t EN_KILLFOCUS = 0x0200;
constexpr std::int64_t EN_CHANGE = 0x0300;

// Combo boxes.
constexpr MessageId CB_GETEDITSEL = 0x0140;
constexpr MessageId CB_ADDSTRING = 0x0143;
constexpr MessageId CB_DELETESTRING = 0x0144;
constexpr MessageId CB_GETCOUNT = 0x0146;
constexpr MessageId CB_GETCURSEL = 0x0147;
constexpr MessageId CB_GETLBTEXT = 0x0148;
constexpr MessageId CB_GETLBTEXTLEN = 0x0149;
constexpr MessageId CB_INSERTSTRING = 0x014A;
constexpr MessageId CB_RESETCONTENT = 0x014B;
constexpr MessageId CB_FINDSTRING = 0x014C;
constexpr MessageId CB_SELECTSTRING = 0x014D;
constexpr MessageId CB_SETCURSEL = 0x014E;
constexpr MessageId CB_GETITEMDATA = 0x0150;
constexpr MessageId CB_SETITEMDATA = 0x0151;
constexpr MessageId CB_FINDSTRINGEXACT = 0x0158;
constexpr std::int64_t CB_ERR = -1;
constexpr std::int64_t CBN_SELCHANGE = 1;
constexpr std::int64_t CBN_DBLCLK = 2;
constexpr std::int64_t CBN_EDITCHANGE = 5;

// List boxes.
constexpr MessageId LB_ADDSTRING = 0x0180;
constexpr MessageId LB_INSERTSTRING = 0x0181;
constexpr MessageId LB_DELETESTRING = 0x0182;
constexpr MessageId LB_RESETCONTENT = 0x0184;
constexpr MessageId LB_SETSEL = 0x0185;
constexpr MessageId LB_SETCURSEL = 0x0186;
constexpr MessageId LB_GETSEL = 0x0187;
constexpr MessageId LB_GETCURSEL = 0x0188;
constexpr MessageId LB_GETTEXT = 0x0189;
constexpr MessageId LB_GETTEXTLEN = 0x018A;
constexpr MessageId LB_GETCOUNT = 0x018B;
constexpr MessageId LB_SELECTSTRING = 0x018C;
constexpr MessageId LB_GETTOPINDEX = 0x018E;
constexpr MessageId LB_FINDSTRING = 0x018F;
constexpr MessageId LB_GETSELCOUNT = 0x0190;
constexpr MessageId LB_SETTOPINDEX = 0x0197;
constexpr MessageId LB_GETITEMDATA = 0x0199;
constexpr MessageId LB_SETITEMDATA = 0x019A;
constexpr MessageId LB_FINDSTRINGEXACT = 0x01A2;
constexpr std::int64_t LB_ERR = -1;
constexpr std::int64_t LBN_SELCHANGE = 1;
constexpr std::int64_t LBN_DBLCLK = 2;

// Scroll bars.
constexpr MessageId SBM_SETPOS = 0x00E0;
constexpr MessageId SBM_GETPOS = 0x00E1;
constexpr MessageId SBM_SETRANGE = 0x00E2;
constexpr MessageId SBM_GETRANGE = 0x00E3;
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;

// Tree views.
constexpr MessageId TVM_DELETEITEM = 0x1101;
constexpr MessageId TVM_EXPAND = 0x1102;
constexpr MessageId TVM_GETCOUNT = 0x1105;
constexpr MessageId TVM_GETNEXTITEM = 0x110A;
constexpr MessageId TVM_SELECTITEM = 0x110B;
constexpr std::int64_t TVI_ROOT = -0x10000;
constexpr std::int64_t TVGN_ROOT = 0;
constexpr std::int64_t TVGN_NEXT = 1;
constexpr std::int64_t TVGN_PREVIOUS = 2;
constexpr std::int64_t TVGN_PARENT = 3;
constexpr std::int64_t TVGN_CHILD = 4;
constexpr std::int64_t TVGN_CARET = 9;
constexpr std::int64_t TVE_COLLAPSE = 1;
constexpr std::int64_t TVE_EXPAND = 2;
constexpr std::int64_t TVE_TOGGLE = 3;

// Virtual keys.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_F10 = 0x79;
constexpr std::int64_t kKeyWasDown = 0x40000000;  // lParam bit 30 of a key message: auto-repeat.

// Message boxes.
constexpr std::uint32_t MB_OK = 0x0;
constexpr std::uint32_t MB_OKCANCEL = 0x1;
constexpr std::uint32_t MB_ABORTRETRYIGNORE = 0x2;
constexpr std::uint32_t MB_YESNOCANCEL = 0x3;
constexpr std::uint32_t MB_YESNO = 0x4;
constexpr std::uint32_t MB_RETRYCANCEL = 0x5;
constexpr std::uint32_t MB_CANCELTRYCONTINUE = 0x6;
constexpr std::uint32_t MB_TYPEMASK = 0xF;
constexpr std::uint32_t MB_ICONSTOP = 0x10;
constexpr std::uint32_t MB_ICONQUESTION = 0x20;
constexpr std::uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
constexpr std::uint32_t MB_DEFBUTTON2 = 0x100;
constexpr std::uint32_t MB_DEFBUTTON3 = 0x200;
constexpr std::uint32_t MB_DEFMASK = 0xF00;

// Queue access.
constexpr std::uint32_t PM_NOREMOVE = 0x0;
constexpr std::uint32_t PM_REMOVE = 0x1;

// Timers fire no faster than this, whatever period is asked.
constexpr std::int64_t kTimerMinimumMs = 10;

// Word helpers for packed parameters.
constexpr std::int64_t MAKELPARAM(std::int64_t low, std::int64_t high) {
  return static_cast<std::int64_t>(static_cast<std::uint32_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr std::int64_t C4W_LOWORD(std::int64_t value) { return value & 0xFFFF; }
constexpr std::int64_t C4W_HIWORD(std::int64_t value) { return (value >> 16) & 0xFFFF; }

}  // namespace ui::platform
