#pragma once

#include <cstdint>

#include "ui/platform/messages.h"

namespace ui {

// Messages a grid's list window understands besides the list box's own.

// Redraw every row from the table, without running the selection and scan hooks.
inline constexpr platform::MessageId kBrowseRefresh = 1669;
// Load the user's grid font from F_BROWSE and redraw.
inline constexpr platform::MessageId kBrowseLoadFont = 1127;
// The refresh timer of a grid's list window, and its period.
inline constexpr std::uint32_t kBrowseRefreshTimer = 2;
inline constexpr std::uint32_t kBrowseRefreshMilliseconds = 60000;

// What a display sends when the person clicks heading `wParam` (1-based column).
inline constexpr platform::MessageId kBrowseHeadingClick = platform::WM_USER + 0xF00;
// Row-on-demand questions a display asks to show the grid (a view model reading rows lazily):
// the rows of the scope (the answer); row wParam (0-based) with its cells joined by tabs written
// into the by-reference lParam (answers the record, 0 past the end); the headings joined by tabs
// into lParam; the current row's index (the answer, -1 when empty).
inline constexpr platform::MessageId kBrowseRowCount = platform::WM_USER + 0xF01;
inline constexpr platform::MessageId kBrowseGetRow = platform::WM_USER + 0xF02;
inline constexpr platform::MessageId kBrowseGetHeadings = platform::WM_USER + 0xF03;
inline constexpr platform::MessageId kBrowseCurrentRow = platform::WM_USER + 0xF04;
// The scroll bar dragged to key position wParam.
inline constexpr platform::MessageId kBrowseScrollTo = platform::WM_USER + 0xF05;

// Commands of the grid's context menu (WM_COMMAND to the list window).
// After the dialog's options come: search, search by a date, clear the search list, search in a
// column.
inline constexpr std::int64_t kExportSpreadsheet = 1;
inline constexpr std::int64_t kExportTable = 2;
inline constexpr std::int64_t kChooseFont = 3;
inline constexpr std::int64_t kCopyCell = 4;
inline constexpr std::int64_t kClearSearchList = 5;
inline constexpr std::int64_t kFirstDialogOption = 6;

// Navigation keys the grid takes in WM_KEYDOWN.
inline constexpr int kKeyPageUp = 0x21;
inline constexpr int kKeyPageDown = 0x22;
inline constexpr int kKeyEnd = 0x23;
inline constexpr int kKeyHome = 0x24;
inline constexpr int kKeyUp = 0x26;
inline constexpr int kKeyDown = 0x28;

// Scroll requests of WM_VSCROLL (low word of wParam); the thumb's position is the high word.
inline constexpr std::int64_t kScrollLineUp = 0;
inline constexpr std::int64_t kScrollLineDown = 1;
inline constexpr std::int64_t kScrollPageUp = 2;
inline constexpr std::int64_t kScrollPageDown = 3;
inline constexpr std::int64_t kScrollThumbPosition = 4;
inline constexpr std::int64_t kScrollThumbTrack = 5;
inline constexpr std::int64_t kScrollTop = 6;
inline constexpr std::int64_t kScrollBottom = 7;

// Pixel layout of the grid in its list window: a press at a row's middle lands on that row, a
// press on the heading strip on that heading.
inline constexpr int kBrowseCharPixels = 7;
inline constexpr int kBrowseCellPadding = 8;
inline constexpr int kBrowseHeadingPixels = 18;
inline constexpr int kBrowseLinePixels = 16;

// The highlight colour of the heading whose order is active (RGB value).
inline constexpr std::int64_t kActiveHeadingColour = 13750210;

}  // namespace ui
