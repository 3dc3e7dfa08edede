#include "ui/add2browse.h"

#include <algorithm>

#include "data/runtime_error.h"
#include "startup/settings.h"
#include "ui/browse_messages.h"

namespace ui {

WBCOLUMN& AGREGARCOL(WBROWSE& grid, data::WDBTable& table, std::string_view heading, std::string_view field,
                     std::string_view picture, std::function<data::Value()> block, int align, bool is_text,
                     int width_adjust) {
  WBCOLUMN column;
  column.HEADING = std::string(heading);
  column.PICTURE = std::string(picture);
  column.ALIGN = align;
  column.is_text = is_text;
  column.H_ADJUST = width_adjust;
  if (!field.empty()) {
    const int position = table.FieldPos(field);
    if (position == 0)
      throw data::RuntimeError("AGREGARCOL", "BROWSE", table.Name + " has no field " + std::string(field));
    const data::DbfField& info = table.table().field(position);
    column.CARGO = std::string(field);
    column.field_width = info.width;
    column.field_decimals = info.decimals;
    column.is_text = info.type == 'C' || info.type == 'M';
    if (!block) block = [t = &table, position] { return t->FieldGet(position); };
  }
  column.BLOCK = std::move(block);
  grid.columns().push_back(std::move(column));
  return grid.columns().back();
}

void BrowMarks(WBLISTBOX& grid, BrowMarksOptions options, WBLISTBOX::IsActive is_active,
               WBLISTBOX::CommandHandler commands) {
  BrowseBinding& binding = grid.CARGO;
  if (options.pairs.size() > BrowseBinding::kMaxPairs) options.pairs.resize(BrowseBinding::kMaxPairs);
  binding.pairs = std::move(options.pairs);
  binding.list_window = grid.list_window();
  binding.scope_top = options.scope_top;
  binding.scope_bottom = options.scope_bottom.is_empty() ? options.scope_top : options.scope_bottom;
  binding.is_search_on = !options.is_search_off;
  binding.selector_width = std::max(options.selector_width, 3);
  binding.search_text = options.search_text;
  binding.options = std::move(options.options);
  grid.NUBWIDTH = binding.selector_width;

  GridModel& model = grid.model();
  const int pair = std::clamp(options.initial_pair, 1, std::max(static_cast<int>(binding.pairs.size()), 1));
  if (!binding.pairs.empty()) {
    binding.active_pair = pair;
    model.cursor().set_order(binding.pairs[static_cast<std::size_t>(pair - 1)].tag);
  }
  if (!binding.scope_top.is_empty()) model.cursor().set_scope(binding.scope_top, binding.scope_bottom);
  model.refresh_all();
  if (!binding.search_text.empty()) model.seek(data::Value(binding.search_text));
  else if (options.go_top) model.go_top();
  grid.hook(std::move(is_active), std::move(commands));
  grid.redraw();
}

void SET_SCOPE(WBROWSE& grid, const data::Value& top, const data::Value& bottom, bool refresh) {
  grid.CARGO.scope_top = top;
  grid.CARGO.scope_bottom = bottom.is_empty() ? top : bottom;
  grid.model().set_scope(grid.CARGO.scope_top, grid.CARGO.scope_bottom);
  if (refresh) grid.redraw();
}

void CLEAR_SCOPE(WBROWSE& grid) {
  grid.CARGO.scope_top = {};
  grid.CARGO.scope_bottom = {};
  grid.model().clear_scope();
  grid.redraw();
}

void SET_INDEXCOL(WBROWSE& grid, int pair, std::string_view tag, int column) {
  auto& pairs = grid.CARGO.pairs;
  if (pair < 1 || pair > static_cast<int>(pairs.size()) + 1 || pair > static_cast<int>(BrowseBinding::kMaxPairs))
    return;
  if (pair == static_cast<int>(pairs.size()) + 1) pairs.emplace_back();
  pairs[static_cast<std::size_t>(pair - 1)] = BrowseOrderPair{column, std::string(tag)};
}

void ORDERSHOW(WBROWSE& grid) {
  if (grid.CARGO.active_pair >= 1) grid.apply_pair(grid.CARGO.active_pair);
}

WBLISTBOX& ADD2BROWSE::WBLISTBOX_INIT(platform::WindowSystem& ws, platform::Handle dialog, std::int64_t id,
                                      data::WDBTable& table, std::string dialog_name) {
  m_grids.push_back(std::make_unique<WBLISTBOX>(ws, dialog, id, table, std::move(dialog_name)));
  return *m_grids.back();
}

WBCOLUMN& ADD2BROWSE::AGREGARCOL(WBROWSE& grid, data::WDBTable& table, std::string_view heading,
                                 std::string_view field, std::string_view picture, std::function<data::Value()> block,
                                 int align, bool is_text, int width_adjust) {
  return ui::AGREGARCOL(grid, table, browse_heading(heading), field, picture, std::move(block), align, is_text,
                        width_adjust);
}

void ADD2BROWSE::BrowMarks(WBLISTBOX& grid, BrowMarksOptions options) {
  if (data::TableSession* session = browse_session()) {
    grid.export_folder = session->settings.program_folder / "TEMP";
    grid.font_source = [session, &grid]() -> std::optional<BrowseFont> {
      const startup::Settings& s = startup::settings();
      BrowseFontKey key;
      key.business = s.XU_COMP.is_text() ? s.XU_COMP.text() : std::string();
      key.dialog = grid.dialog_name();
      key.user = s.USER_NUMBER;
      key.list_id = static_cast<int>(grid.id());
      return load_browse_font(*session, key);
    };
  }
  ui::BrowMarks(
      grid, std::move(options), [this] { return browse_dialog_is_active(); },
      [this, &grid](std::int64_t command) { return browse_command(grid, command); });
  if (grid.font_source) grid.windows().SENDMESSAGE(grid.list_window(), kBrowseLoadFont);
}

}  // namespace ui
