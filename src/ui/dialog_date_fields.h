#pragma once

#include <cstdint>
#include <optional>

#include "data/date.h"
#include "ui/platform/window_system.h"

namespace ui {

using platform::Handle;

class DialogHost;

// The date shortcuts of a dialog's edit fields. A field counts as holding a date when its text uses
// only "0123456789/ ", reads as a date whose year is not 0, and nothing in it is selected. In such a
// field "+" (or character 161) moves the date one day on and "-" (or character 39) one day back,
// rewriting the text with DTOC; a right click opens the calendar at that date, whose choice comes
// back as message 1324. Every key press in a field also posts 11023 to the dialog.
class DateFieldShortcuts {
 public:
  // The date in the field, when it holds one.
  static std::optional<data::Date> field_date(platform::WindowSystem& ws, Handle edit);

  // A message of one of the dialog's date fields, before the field's own procedure: nothing when the
  // message goes on to it, else the answer.
  static std::optional<std::int64_t> on_field_message(DialogHost& host, Handle dialog, Handle edit,
                                                      platform::MessageId message, const platform::Param& wParam,
                                                      const platform::Param& lParam);
};

}  // namespace ui
