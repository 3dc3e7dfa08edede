#include "ui/platform/control_procedures.h"
#include "ui/platform/window_system.h"

#include <algorithm>

namespace ui::platform {

namespace {

std::ptrdiff_t index_of(const TreeState& state, std::int64_t item) {
  const auto found = std::find_if(state.items.begin(), state.items.end(), [&](const TreeItem& i) { return i.item == item; });
  return found == state.items.end() ? -1 : found - state.items.begin();
}

bool is_below(const TreeState& state, std::int64_t item, std::int64_t ancestor) {
  for (std::int64_t parent = item; parent != 0;) {
    const std::ptrdiff_t at = index_of(state, parent);
    if (at < 0) return false;
    parent = state.items[static_cast<std::size_t>(at)].parent;
    if (parent == ancestor) return true;
  }
  return false;
}

// Items are kept in display order: each item is followed by all of its descendants.
std::size_t end_of_subtree(const TreeState& state, std::size_t at) {
  const std::int64_t root = state.items[at].item;
  std::size_t end = at + 1;
  while (end < state.items.size() && is_below(state, state.items[end].item, root)) ++end;
  return end;
}

std::int64_t next_item(const TreeState& state, std::int64_t code, std::int64_t item) {
  const std::ptrdiff_t at = index_of(state, item);
  switch (code) {
    case TVGN_ROOT: return state.items.empty() ? 0 : state.items.front().item;
    case TVGN_CARET: return state.selected;
    case TVGN_PARENT: return at < 0 ? 0 : state.items[static_cast<std::size_t>(at)].parent;
    case TVGN_CHILD: {
      if (at < 0) return 0;
      const std::size_t next = static_cast<std::size_t>(at) + 1;
      return next < state.items.size() && state.items[next].parent == item ? state.items[next].item : 0;
    }
    case TVGN_NEXT:
    case TVGN_PREVIOUS: {
      if (at < 0) return 0;
      const std::int64_t parent = state.items[static_cast<std::size_t>(at)].parent;
      std::int64_t found = 0;
      for (const TreeItem& other : state.items) {
        if (other.parent != parent) continue;
        if (code == TVGN_PREVIOUS && other.item == item) return found;
        if (code == TVGN_NEXT && found == item) return other.item;
        found = other.item;
      }
      return 0;
    }
    default: return 0;
  }
}

}  // namespace

std::int64_t ControlProcedures::tree_view(WindowSystem& ws, Handle handle, MessageId message, const Param& wParam,
                                          const Param& lParam) {
  Window* window = ws.find(handle);
  if (!window) return 0;
  if (!std::holds_alternative<TreeState>(window->control)) window->control = TreeState{};
  TreeState& state = std::get<TreeState>(window->control);
  switch (message) {
    case TVM_GETCOUNT: return static_cast<std::int64_t>(state.items.size());
    case TVM_DELETEITEM: {
      const std::int64_t item = lParam.number();
      if (item == TVI_ROOT || item == 0) {
        state.items.clear();
        state.selected = 0;
      } else {
        const std::ptrdiff_t at = index_of(state, item);
        if (at < 0) return 0;
        const std::size_t end = end_of_subtree(state, static_cast<std::size_t>(at));
        if (state.selected == item || is_below(state, state.selected, item)) state.selected = 0;
        state.items.erase(state.items.begin() + at, state.items.begin() + static_cast<std::ptrdiff_t>(end));
      }
      ws.m_backend.window_state_changed(handle);
      return 1;
    }
    case TVM_SELECTITEM:
      if (wParam.number() != TVGN_CARET || (lParam.number() != 0 && index_of(state, lParam.number()) < 0)) return 0;
      state.selected = lParam.number();
      ws.m_backend.window_state_changed(handle);
      return 1;
    case TVM_GETNEXTITEM: return next_item(state, wParam.number(), lParam.number());
    case TVM_EXPAND: {
      const std::ptrdiff_t at = index_of(state, lParam.number());
      if (at < 0) return 0;
      TreeItem& item = state.items[static_cast<std::size_t>(at)];
      const std::int64_t action = wParam.number() & 0x3;
      item.expanded = action == TVE_EXPAND ? true : action == TVE_COLLAPSE ? false : !item.expanded;
      ws.m_backend.window_state_changed(handle);
      return 1;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default: return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
  }
}

std::int64_t WindowSystem::tree_insert(Handle tree, std::int64_t parent_item, std::string_view text,
                                       std::int64_t data) {
  Window* window = find(tree);
  if (!window || window->proc != &ControlProcedures::tree_view) return 0;
  if (!std::holds_alternative<TreeState>(window->control)) window->control = TreeState{};
  TreeState& state = std::get<TreeState>(window->control);
  std::size_t at = state.items.size();
  if (parent_item != 0) {
    const std::ptrdiff_t parent = index_of(state, parent_item);
    if (parent < 0) return 0;
    at = end_of_subtree(state, static_cast<std::size_t>(parent));
  }
  const std::int64_t item = state.next_item++;
  state.items.insert(state.items.begin() + static_cast<std::ptrdiff_t>(at),
                     TreeItem{item, parent_item, std::string(text), data, false});
  m_backend.window_state_changed(tree);
  return item;
}

std::vector<TreeItem> WindowSystem::tree_items(Handle tree) const {
  const Window* window = find(tree);
  if (!window) return {};
  const auto* state = std::get_if<TreeState>(&window->control);
  return state ? state->items : std::vector<TreeItem>{};
}

}  // namespace ui::platform
