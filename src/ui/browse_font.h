#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/wtable_session.h"

namespace ui {

// The font a grid is drawn with.
struct BrowseFont {
  std::string face;
  double size = 0;
  bool is_bold = false;
  bool is_italic = false;
};

// Where a user's grid font is kept: one F_BROWSE row per business, dialog resource, user and list
// control.
struct BrowseFontKey {
  std::string business;
  std::string dialog;
  int user = 1;
  int list_id = 0;
};

// The F_BROWSE key of `key`: business padded to 15, dialog name padded to 20, user and list
// identifier as 4-character numbers.
std::string browse_font_seek_key(const BrowseFontKey& key);

// The user's font for that grid, or nothing when F_BROWSE has no row (or no such table): the words
// "BOLD" and "ITALIC" inside T_FONT select those styles and are not part of the face. Table errors
// other than a missing table throw data::RuntimeError.
std::optional<BrowseFont> load_browse_font(data::TableSession& session, const BrowseFontKey& key);

// Writes the user's choice (adding the row when there is none), with the styles as words in T_FONT.
void store_browse_font(data::TableSession& session, const BrowseFontKey& key, const BrowseFont& font);

}  // namespace ui
