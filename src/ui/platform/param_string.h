#pragma once

#include <string>
#include <string_view>

#include "data/value.h"

namespace ui::platform {

// A printf-style format filled with one argument, a text or a number, the way the system
// formats a string resource: %s takes the text (a number as its decimal digits), %d %i
// %u %x %X %o %c take the number (a text as 0), %e %f %g the number as a double, %%
// is a percent sign. Flags, width and precision apply. A conversion after the first has
// no argument left and gives nothing.
std::string format_with_argument(std::string_view format, const data::Value& argument);

}  // namespace ui::platform
