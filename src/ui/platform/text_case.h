#pragma once

#include "data/name_case.h"

namespace ui::platform {

// Class names, template names and list-box searches ignore ASCII case, as the system does.
using data::ascii_upper;
using data::equals_ignoring_case;
using data::starts_with_ignoring_case;
inline std::string to_upper(std::string_view text) { return data::upper_ascii(text); }

}  // namespace ui::platform
