#include "ui/wbrowse.h"

#include "ui/browse_messages.h"

namespace ui {

WBROWSE::WBROWSE(data::WDBTable& table) : m_model(table) {}

std::int64_t WBROWSE::heading_colour(int column) const {
  if (CARGO.active_pair < 1 || CARGO.active_pair > static_cast<int>(CARGO.pairs.size())) return 0;
  return CARGO.pairs[static_cast<std::size_t>(CARGO.active_pair - 1)].column == column ? kActiveHeadingColour : 0;
}

bool WBROWSE::apply_pair(int pair) {
  if (pair < 1 || pair > static_cast<int>(CARGO.pairs.size())) return false;
  CARGO.active_pair = pair;
  m_model.set_order(CARGO.pairs[static_cast<std::size_t>(pair - 1)].tag);
  CARGO.search_text.clear();
  redraw();
  return true;
}

bool WBROWSE::click_heading(int column) {
  for (std::size_t i = 0; i < CARGO.pairs.size(); ++i)
    if (CARGO.pairs[i].column == column) return apply_pair(static_cast<int>(i) + 1);
  return false;
}

void WBROWSE::toggle_mark() {
  if (NUBWIDTH <= 3 || m_model.NCRECNO == 0) return;
  if (!marks.erase(m_model.NCRECNO)) marks.insert(m_model.NCRECNO);
  redraw();
}

bool WBROWSE::incremental_search(char typed) {
  if (!CARGO.is_search_on) return false;
  CARGO.search_text += typed;
  const bool found = m_model.seek(data::Value(CARGO.search_text));
  redraw();
  return found;
}

void WBROWSE::REFRESHALL() {
  m_model.refresh_all();
  redraw();
}

void WBROWSE::SHOWDATA() {
  m_model.show_data();
  redraw();
}

void WBROWSE::CONFIGURE() { redraw(); }

}  // namespace ui
