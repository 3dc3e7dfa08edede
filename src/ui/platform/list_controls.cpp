#include "ui/platform/control_procedures.h"
#include "ui/platform/text_case.h"
#include "ui/platform/window_system.h"

#include <algorithm>

namespace ui::platform {

namespace {

// The operations combo boxes and list boxes share, whatever their message numbers.
enum class ListOp {
  Add, Insert, Delete, Reset, Count, GetCurrent, SetCurrent, GetText, GetTextLength,
  Find, FindExact, Select, GetData, SetData, SetSelected, GetSelected, SelectedCount, GetTop, SetTop, Other
};

ListOp combo_op(MessageId message) {
  switch (message) {
    case CB_ADDSTRING: return ListOp::Add;
    case CB_INSERTSTRING: return ListOp::Insert;
    case CB_DELETESTRING: return ListOp::Delete;
    case CB_RESETCONTENT: return ListOp::Reset;
    case CB_GETCOUNT: return ListOp::Count;
    case CB_GETCURSEL: return ListOp::GetCurrent;
    case CB_SETCURSEL: return ListOp::SetCurrent;
    case CB_GETLBTEXT: return ListOp::GetText;
    case CB_GETLBTEXTLEN: return ListOp::GetTextLength;
    case CB_FINDSTRING: return ListOp::Find;
    case CB_FINDSTRINGEXACT: return ListOp::FindExact;
    case CB_SELECTSTRING: return ListOp::Select;
    case CB_GETITEMDATA: return ListOp::GetData;
    case CB_SETITEMDATA: return ListOp::SetData;
    default: return ListOp::Other;
  }
}

ListOp list_op(MessageId message) {
  switch (message) {
    case LB_ADDSTRING: return ListOp::Add;
    case LB_INSERTSTRING: return ListOp::Insert;
    case LB_DELETESTRING: return ListOp::Delete;
    case LB_RESETCONTENT: return ListOp::Reset;
    case LB_GETCOUNT: return ListOp::Count;
    case LB_GETCURSEL: return ListOp::GetCurrent;
    case LB_SETCURSEL: return ListOp::SetCurrent;
    case LB_GETTEXT: return ListOp::GetText;
    case LB_GETTEXTLEN: return ListOp::GetTextLength;
    case LB_FINDSTRING: return ListOp::Find;
    case LB_FINDSTRINGEXACT: return ListOp::FindExact;
    case LB_SELECTSTRING: return ListOp::Select;
    case LB_GETITEMDATA: return ListOp::GetData;
    case LB_SETITEMDATA: return ListOp::SetData;
    case LB_SETSEL: return ListOp::SetSelected;
    case LB_GETSEL: return ListOp::GetSelected;
    case LB_GETSELCOUNT: return ListOp::SelectedCount;
    case LB_GETTOPINDEX: return ListOp::GetTop;
    case LB_SETTOPINDEX: return ListOp::SetTop;
    default: return ListOp::Other;
  }
}

bool is_less_ignoring_case(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return ascii_upper(x) < ascii_upper(y); });
}

// The first item after `after` (wrapping round; -1 searches from the top) that `matches`.
template <typename Match>
std::int64_t find_item(const ListState& state, std::int64_t after, Match matches) {
  const auto count = static_cast<std::int64_t>(state.items.size());
  if (count == 0) return -1;
  const std::int64_t start = after < 0 || after >= count ? -1 : after;
  for (std::int64_t step = 1; step <= count; ++step) {
    const std::int64_t index = (start + step) % count;
    if (matches(state.items[static_cast<std::size_t>(index)].text)) return index;
  }
  return -1;
}

}  // namespace

std::int64_t ControlProcedures::combo_box(WindowSystem& ws, Handle handle, MessageId message, const Param& wParam,
                                          const Param& lParam) {
  return list_message(ws, handle, message, wParam, lParam, true);
}

std::int64_t ControlProcedures::list_box(WindowSystem& ws, Handle handle, MessageId message, const Param& wParam,
                                         const Param& lParam) {
  return list_message(ws, handle, message, wParam, lParam, false);
}

std::int64_t ControlProcedures::list_message(WindowSystem& ws, Handle handle, MessageId message,
                                             const Param& wParam, const Param& lParam, bool is_combo) {
  constexpr std::int64_t kError = -1;  // CB_ERR and LB_ERR.
  Window* window = ws.find(handle);
  if (!window) return 0;
  if (!std::holds_alternative<ListState>(window->control)) window->control = ListState{};
  ListState& state = std::get<ListState>(window->control);
  const ListOp op = is_combo ? combo_op(message) : list_op(message);
  const bool is_sorted = window->style & (is_combo ? CBS_SORT : LBS_SORT);
  const bool is_multiple = !is_combo && (window->style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  const auto count = static_cast<std::int64_t>(state.items.size());
  const std::int64_t index = wParam.number();
  const bool is_valid_index = index >= 0 && index < count;
  const auto item = [&](std::int64_t at) -> ListItem& { return state.items[static_cast<std::size_t>(at)]; };
  // A combo box shows the chosen item as its text.
  const auto show_current = [&] {
    if (is_combo) {
      window->text = state.current >= 0 ? item(state.current).text : std::string();
      ws.m_backend.window_text_changed(handle);
    }
    ws.m_backend.window_state_changed(handle);
  };

  switch (op) {
    case ListOp::Add:
    case ListOp::Insert: {
      std::int64_t at = count;
      if (op == ListOp::Insert && index >= 0) {
        if (index > count) return kError;
        at = index;
      } else if (op == ListOp::Add && is_sorted) {
        const auto place = std::upper_bound(state.items.begin(), state.items.end(), lParam.text(),
                                            [](const std::string& text, const ListItem& existing) {
                                              return is_less_ignoring_case(text, existing.text);
                                            });
        at = place - state.items.begin();
      }
      state.items.insert(state.items.begin() + at, ListItem{lParam.text(), 0, false});
      if (state.current >= at) ++state.current;
      ws.m_backend.window_state_changed(handle);
      return at;
    }
    case ListOp::Delete:
      if (!is_valid_index) return kError;
      state.items.erase(state.items.begin() + index);
      if (state.current == index) {
        state.current = -1;
      } else if (state.current > index) {
        --state.current;
      }
      show_current();
      return count - 1;
    case ListOp::Reset:
      state.items.clear();
      state.current = -1;
      state.top = 0;
      show_current();
      return 0;
    case ListOp::Count: return count;
    case ListOp::GetCurrent: return state.current;
    case ListOp::SetCurrent:
      if (!is_valid_index) {
        if (is_combo || index == -1) {
          state.current = -1;
          show_current();
        }
        return kError;
      }
      state.current = static_cast<int>(index);
      if (is_multiple) item(index).selected = true;
      show_current();
      return index;
    case ListOp::GetText: {
      if (!is_valid_index) return kError;
      if (std::string* target = lParam.writable_text()) *target = item(index).text;
      return static_cast<std::int64_t>(item(index).text.size());
    }
    case ListOp::GetTextLength: return is_valid_index ? static_cast<std::int64_t>(item(index).text.size()) : kError;
    case ListOp::Find:
      return find_item(state, index, [&](const std::string& text) { return starts_with_ignoring_case(text, lParam.text()); });
    case ListOp::FindExact:
      return find_item(state, index, [&](const std::string& text) { return equals_ignoring_case(text, lParam.text()); });
    case ListOp::Select: {
      const std::int64_t found =
          find_item(state, index, [&](const std::string& text) { return starts_with_ignoring_case(text, lParam.text()); });
      if (found < 0) return kError;
      state.current = static_cast<int>(found);
      show_current();
      return found;
    }
    case ListOp::GetData: return is_valid_index ? item(index).data : kError;
    case ListOp::SetData:
      if (!is_valid_index) return kError;
      item(index).data = lParam.number();
      return 0;
    case ListOp::SetSelected: {
      if (!is_multiple) return kError;
      const std::int64_t at = lParam.number();
      if (at == -1) {
        for (ListItem& each : state.items) each.selected = wParam.number() != 0;
      } else if (at >= 0 && at < count) {
        item(at).selected = wParam.number() != 0;
      } else {
        return kError;
      }
      ws.m_backend.window_state_changed(handle);
      return 0;
    }
    case ListOp::GetSelected:
      if (!is_valid_index) return kError;
      return is_multiple ? (item(index).selected ? 1 : 0) : (state.current == index ? 1 : 0);
    case ListOp::SelectedCount:
      if (!is_multiple) return kError;
      return std::count_if(state.items.begin(), state.items.end(), [](const ListItem& i) { return i.selected; });
    case ListOp::GetTop: return state.top;
    case ListOp::SetTop:
      if (!is_valid_index) return kError;
      state.top = static_cast<int>(index);
      return 0;
    case ListOp::Other: break;
  }
  if (message == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS;
  return ws.DEFWINDOWPROC(handle, message, wParam, lParam);
}

}  // namespace ui::platform
