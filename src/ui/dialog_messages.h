#pragma once

#include "ui/platform/messages.h"

// Message numbers the dialog base and its controls use beyond those of the window system: system
// messages the platform layer has no name for yet, and the framework's own messages. The numbers
// are the ones the business code compares against.
namespace ui {

using platform::MessageId;

constexpr MessageId WM_ERASEBKGND = 0x0014;
constexpr MessageId WM_SYSCOLORCHANGE = 0x0015;
constexpr MessageId WM_WININICHANGE = 0x001A;
constexpr MessageId WM_CTLCOLOR = 0x0019;
constexpr MessageId WM_SETCURSOR = 0x0020;
constexpr MessageId WM_NEXTDLGCTL = 0x0028;
constexpr MessageId WM_DRAWITEM = 0x002B;
constexpr MessageId WM_MEASUREITEM = 0x002C;
constexpr MessageId WM_VKEYTOITEM = 0x002E;
constexpr MessageId WM_CHARTOITEM = 0x002F;
constexpr MessageId WM_QUERYDRAGICON = 0x0037;
constexpr MessageId WM_WINDOWPOSCHANGING = 0x0046;
constexpr MessageId WM_NCHITTEST = 0x0084;
constexpr MessageId WM_INITMENU = 0x0116;
constexpr MessageId WM_CTLCOLORMSGBOX = 0x0132;  // The WM_CTLCOLOR family runs to 0x0138.
constexpr MessageId WM_CTLCOLORSTATIC = 0x0138;
constexpr MessageId WM_LBUTTONDBLCLK = 0x0203;
constexpr MessageId WM_RBUTTONUP = 0x0205;
constexpr MessageId WM_DROPFILES = 0x0233;

// Child activation requests the frame sends to a dialog (the dialog makes itself the active child).
constexpr MessageId kActivateChildFirst = 1525;
constexpr MessageId kActivateChildLast = 1528;
// A date chosen in the calendar of a date field (lParam: DTOS text; wParam 2: one day earlier).
constexpr MessageId kCalendarDateChosen = 1324;
// Owner-drawn push buttons: repaint, set caption from a text, set caption.
constexpr MessageId kButtonRepaint = 2020;
constexpr MessageId kButtonCaptionFromText = 2021;
constexpr MessageId kButtonSetCaption = 2022;
// Posted to a dialog by its hook: wParam 1 or 2 = it became the active child, 0 = it lost that.
constexpr MessageId kDialogActivation = 2825;
// Framework message the dialog hook also watches.
constexpr MessageId kDialogHookExtra = 2023;
// Posted to a dialog on every key press in one of its date fields.
constexpr MessageId kDateFieldKey = 11023;

}  // namespace ui
