#pragma once

#include <cstdint>
#include <string_view>

#include "ui/dialog_host.h"

namespace ui {

// Shows the modal dialog `resource_name`, owned by the main frame, and answers the result the block
// gave the window system's ENDDIALOG (-1 when the resource is missing). Every message of the dialog
// goes to the block as (window, message, wParam, lParam); its answer is the dialog procedure's
// (non-zero: handled). While open the dialog is in the host's registry as a modal dialog. Pumps
// messages until the dialog ends.
std::int64_t DIALOG_BOX(DialogHost& host, std::string_view resource_name, platform::Handler block);

}  // namespace ui
