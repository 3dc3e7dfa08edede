#pragma once

#include <string>
#include <string_view>

#include "data/value.h"

namespace ui {

// The site's text replacements applied to dialog item texts, grid headings and printouts.
// `traduct` is XTRADUCT: a list of {search text, replacement, embedded flag (1)} loaded for the
// current business. The first entry that applies replaces one occurrence, found regardless of case,
// and ends the search: an embedded entry, or one whose search text is the whole text, replaces where
// it occurs; any other entry replaces only a whole word followed by a blank (or, failing that,
// preceded by one). Entries with an empty search text are skipped; a value that is not text comes
// back unchanged.
data::Value CHECK_TRADUCT(const data::Value& text, const data::ValueList& traduct);
std::string CHECK_TRADUCT(std::string_view text, const data::ValueList& traduct);
// The same with the replacements of the process-wide settings (XTRADUCT).
data::Value CHECK_TRADUCT(const data::Value& text);

}  // namespace ui
