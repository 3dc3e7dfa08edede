#pragma once

#include "ui/platform/messages.h"

namespace shell {

using ui::platform::MessageId;

// Window messages the frame answers that the window system itself has no use for.
inline constexpr MessageId WM_QUERYENDSESSION = 17;
inline constexpr MessageId WM_SYSCOLORCHANGE = 21;
inline constexpr MessageId WM_ENDSESSION = 22;
inline constexpr MessageId WM_TIMECHANGE = 30;
inline constexpr MessageId WM_SETCURSOR = 32;
inline constexpr MessageId WM_MENURBUTTONUP = 290;
inline constexpr MessageId WM_MDISETMENU = 560;

// The framework's own messages.
inline constexpr MessageId kForwardToControl = 4101;   // A WM_COMMAND of identifier 1..99, to that control.
inline constexpr MessageId kSetActiveDialog = 4128;    // wParam: the active dialog's window.
inline constexpr MessageId kAddSlaveDialog = 4129;     // Dialogs of slave processes: none here.
inline constexpr MessageId kRemoveSlaveDialog = 4130;
inline constexpr MessageId kShiftDialogs = 4112;
inline constexpr MessageId kEditModeBookkeeping = 4086;

// The frame's messages.
inline constexpr MessageId kTimer1Tick = 2215;
inline constexpr MessageId kTimer2Tick = 2216;
inline constexpr MessageId kCountdownTick = 2217;
inline constexpr MessageId kStartupCommand = 2219;
inline constexpr MessageId kSessionLock = 2223;
inline constexpr MessageId kRightsCaptureOn = 1030;
inline constexpr MessageId kRightsCaptureOff = 1031;

// The frame's timers.
inline constexpr std::uint32_t kShutdownCheckTimer = 2;  // CHECK_QUIT, every 60 s.
inline constexpr std::uint32_t kCountdownTimer = 3;      // The forced-exit countdown, every 30 s.

// Commands.
inline constexpr std::uint32_t kNotificationCenterCommand = 2984;
inline constexpr std::uint32_t kMailboxesCommand = 4687;
inline constexpr std::uint32_t kOutboxLogCommand = 6282;

}  // namespace shell
