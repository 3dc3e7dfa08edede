#include "ui/platform/window_system.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <exception>

#include "ui/platform/control_procedures.h"
#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {
constexpr int kUseDefault = INT_MIN;  // CW_USEDEFAULT.
constexpr Rect kDefaultMonitor{0, 0, 1920, 1080};
constexpr Rect kDefaultWorkArea{0, 0, 1920, 1040};
}  // namespace

WindowSystem::WindowSystem(Clock& clock, DisplayBackend& backend)
    : m_clock(clock),
      m_backend(backend),
      m_error_block([](const std::exception& error, const Message&) {
        std::fprintf(stderr, "window system: run-time error in a handler: %s\n", error.what());
        return ErrorAnswer{};
      }),
      m_monitors{Monitor{kDefaultMonitor, kDefaultWorkArea}},
      m_menus([this] { return allocate_handle(); }, [this](Handle menu) {
        for (const auto& [handle, window] : m_windows) {
          if (window->menu == menu) m_backend.menu_changed(handle);
        }
      }) {
  m_classes = {
      {"#32769", &ControlProcedures::default_window, 0}, {"#32770", &WindowSystem::dialog_procedure, 30},
      {"Button", &ControlProcedures::button, 0},         {"Edit", &ControlProcedures::edit, 0},
      {"Static", &ControlProcedures::static_text, 0},    {"ComboBox", &ControlProcedures::combo_box, 0},
      {"ListBox", &ControlProcedures::list_box, 0},      {"ScrollBar", &ControlProcedures::scroll_bar, 0},
      {"SysTreeView32", &ControlProcedures::tree_view, 0}, {"MdiClient", &ControlProcedures::default_window, 0},
  };
  auto desktop = std::make_unique<Window>();
  m_desktop = desktop->handle = allocate_handle();
  desktop->class_name = "#32769";
  desktop->proc = &ControlProcedures::default_window;
  desktop->style = WS_VISIBLE;
  desktop->rect = kDefaultMonitor;
  m_windows.emplace(m_desktop, std::move(desktop));
  m_backend.attach(*this);
}

WindowSystem::~WindowSystem() = default;

void WindowSystem::set_monitors(std::vector<Monitor> monitors) {
  if (monitors.empty()) monitors.push_back(Monitor{kDefaultMonitor, kDefaultWorkArea});
  m_monitors = std::move(monitors);
  find(m_desktop)->rect = m_monitors.front().area;
}

Window* WindowSystem::find(Handle window) {
  const auto found = m_windows.find(window);
  return found == m_windows.end() ? nullptr : found->second.get();
}

const Window* WindowSystem::find(Handle window) const {
  const auto found = m_windows.find(window);
  return found == m_windows.end() ? nullptr : found->second.get();
}

const WindowSystem::WindowClass* WindowSystem::find_class(std::string_view name) const {
  for (const WindowClass& window_class : m_classes) {
    if (equals_ignoring_case(window_class.name, name)) return &window_class;
  }
  return nullptr;
}

bool WindowSystem::is_descendant(Handle window, Handle ancestor) const {
  for (const Window* w = find(window); w; w = find(w->parent)) {
    if (w->handle == ancestor) return true;
  }
  return false;
}

Handle WindowSystem::top_level_of(Handle window) const {
  const Window* w = find(window);
  while (w && (w->style & WS_CHILD) && find(w->parent)) w = find(w->parent);
  return w ? w->handle : 0;
}

std::vector<Handle> WindowSystem::children(Handle window) const {
  const Window* w = find(window);
  return w ? w->children : std::vector<Handle>{};
}

bool WindowSystem::REGISTERCLASS(std::string_view class_name, int window_extra) {
  if (class_name.empty() || find_class(class_name)) return false;
  m_classes.push_back({std::string(class_name), &ControlProcedures::default_window, std::max(window_extra, 0)});
  return true;
}

bool WindowSystem::UNREGISTERCLASS(std::string_view class_name) {
  const auto found = std::find_if(m_classes.begin(), m_classes.end(), [&](const WindowClass& c) {
    return equals_ignoring_case(c.name, class_name);
  });
  if (found == m_classes.end()) return false;
  for (const auto& [handle, window] : m_windows) {
    if (equals_ignoring_case(window->class_name, class_name)) return false;  // Still in use.
  }
  m_classes.erase(found);
  return true;
}

Handle WindowSystem::CREATEWINDOWEX(Style ex_style, std::string_view class_name, std::string_view title,
                                    Style style, int x, int y, int width, int height, Handle parent,
                                    std::int64_t menu_or_id, const Param& create_param) {
  const WindowClass* window_class = find_class(class_name);
  if (!window_class) return 0;
  if (parent && (!find(parent) || find(parent)->is_being_destroyed)) return 0;
  if ((style & WS_CHILD) && !parent) return 0;
  if (x == kUseDefault) x = y = 0;
  if (width == kUseDefault) {
    width = 640;
    height = 480;
  }

  auto window = std::make_unique<Window>();
  const Handle handle = window->handle = allocate_handle();
  window->class_name = window_class->name;
  window->proc = window_class->proc;
  window->text = std::string(title);
  window->style = style;
  window->ex_style = ex_style;
  window->rect = Rect{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  window->normal_rect = window->rect;
  for (int slot = 0; slot < window_class->window_extra; slot += 4) window->longs[slot] = 0;
  if (style & WS_CHILD) {
    window->parent = parent;
    window->id = menu_or_id;
    find(parent)->children.push_back(handle);
  } else {
    window->owner = parent ? top_level_of(parent) : 0;
    if (m_menus.is_menu(static_cast<Handle>(menu_or_id))) window->menu = static_cast<Handle>(menu_or_id);
    m_top_level.insert(m_top_level.begin(), handle);
  }
  if (window->proc == &WindowSystem::dialog_procedure) {
    window->dialog = m_next_dialog ? std::move(m_next_dialog) : std::make_unique<DialogState>();
    window->handlers = std::make_unique<HandlerRecord>();
  }
  m_windows.emplace(handle, std::move(window));
  m_backend.window_created(handle);

  deliver(handle, WM_NCCREATE, 0, create_param);
  if (!find(handle)) return 0;
  if (deliver(handle, WM_CREATE, 0, create_param) == -1) {
    DESTROYWINDOW(handle);
    return 0;
  }
  if (!find(handle)) return 0;
  if (style & WS_VISIBLE) {
    m_backend.window_shown(handle);
    if (!(style & WS_CHILD)) activate(handle);
  }
  return handle;
}

Handle WindowSystem::CREATEWINDOW(std::string_view class_name, std::string_view title, Style style, int x, int y,
                                  int width, int height, Handle parent, std::int64_t menu_or_id) {
  return CREATEWINDOWEX(0, class_name, title, style, x, y, width, height, parent, menu_or_id);
}

bool WindowSystem::DESTROYWINDOW(Handle handle) {
  Window* window = find(handle);
  if (!window || window->is_being_destroyed || handle == m_desktop) return false;

  // Owned windows (dialogs of a frame) go first, as they do on the desktop.
  const std::vector<Handle> owned = [&] {
    std::vector<Handle> list;
    for (Handle top : m_top_level) {
      if (const Window* w = find(top); w && w->owner == handle) list.push_back(top);
    }
    return list;
  }();
  for (Handle w : owned) DESTROYWINDOW(w);

  std::vector<Handle> doomed{handle};
  for (std::size_t i = 0; i < doomed.size(); ++i) {
    if (Window* w = find(doomed[i])) {
      w->is_being_destroyed = true;
      doomed.insert(doomed.end(), w->children.begin(), w->children.end());
    }
  }
  window = find(handle);
  const Handle owner = window->owner;
  const bool was_active = m_active == handle;
  if (window->style & WS_VISIBLE) {
    window->style &= ~WS_VISIBLE;
    m_backend.window_shown(handle);
  }
  if (was_active) m_active = 0;

  // Handlers may throw while the window goes; the window table is finished first so it
  // never keeps a half-destroyed window, then the first error goes on to the caller.
  std::exception_ptr error;
  try {
    if (m_focus && is_descendant(m_focus, handle)) {
      const Handle old_focus = std::exchange(m_focus, 0);
      deliver(old_focus, WM_KILLFOCUS, 0, 0);
    }
  } catch (const data::RuntimeError&) {
    error = std::current_exception();
  }
  try {
    destroy_notify(handle);
  } catch (const data::RuntimeError&) {
    if (!error) error = std::current_exception();
  }
  try {
    destroy_final(handle);
  } catch (const data::RuntimeError&) {
    if (!error) error = std::current_exception();
  }
  if (was_active && find(owner)) activate(owner);
  if (error) std::rethrow_exception(error);
  return true;
}

void WindowSystem::destroy_notify(Handle handle) {
  if (!find(handle)) return;
  deliver(handle, WM_DESTROY, 0, 0);
  const Window* window = find(handle);
  if (!window) return;
  for (Handle child : std::vector<Handle>(window->children)) destroy_notify(child);
}

void WindowSystem::destroy_final(Handle handle) {
  const Window* window = find(handle);
  if (!window) return;
  std::exception_ptr error;
  for (Handle child : std::vector<Handle>(window->children)) {
    try {
      destroy_final(child);
    } catch (const data::RuntimeError&) {
      if (!error) error = std::current_exception();
    }
  }
  try {
    if (find(handle)) deliver(handle, WM_NCDESTROY, 0, 0);
  } catch (const data::RuntimeError&) {
    if (!error) error = std::current_exception();
  }
  window = find(handle);
  if (window) {
    m_timers.kill_all(handle);
    m_queue.purge(handle);
    std::erase_if(m_key_relay, [&](const auto& entry) { return entry.first == handle; });
    if (Window* parent = find(window->parent)) std::erase(parent->children, handle);
    std::erase(m_top_level, handle);
    if (m_focus == handle) m_focus = 0;
    if (m_active == handle) m_active = 0;
    if (m_main_frame == handle) m_main_frame = 0;
    m_backend.window_destroyed(handle);
    m_windows.erase(handle);
  }
  if (error) std::rethrow_exception(error);
}

bool WindowSystem::ISWINDOWVISIBLE(Handle handle) const {
  for (const Window* w = find(handle); w; w = (w->style & WS_CHILD) ? find(w->parent) : nullptr) {
    if (!(w->style & WS_VISIBLE)) return false;
  }
  return find(handle) != nullptr;
}

bool WindowSystem::ISWINDOWENABLED(Handle handle) const {
  const Window* window = find(handle);
  return window && !(window->style & WS_DISABLED);
}

bool WindowSystem::ISICONIC(Handle handle) const {
  const Window* window = find(handle);
  return window && (window->style & WS_MINIMIZE);
}

bool WindowSystem::SHOWWINDOW(Handle handle, int command) {
  Window* window = find(handle);
  if (!window) return false;
  const bool was_visible = window->style & WS_VISIBLE;
  const Style old_size_state = window->style & (WS_MINIMIZE | WS_MAXIMIZE);
  Style size_state = old_size_state;
  bool visible = true;
  switch (command) {
    case SW_HIDE: visible = false; break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: size_state = WS_MINIMIZE; break;
    case SW_SHOWMAXIMIZED: size_state = WS_MAXIMIZE; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE: size_state = 0; break;
    default: break;
  }
  if (size_state != old_size_state) {
    if (old_size_state == 0) window->normal_rect = window->rect;
    if (size_state == WS_MAXIMIZE) {
      window->rect = (window->style & WS_CHILD) ? GETCLIENTRECT(window->parent) : m_monitors.front().work_area;
    } else if (size_state == 0) {
      window->rect = window->normal_rect;
    }
  }
  window->style = (window->style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE)) | size_state |
                  (visible ? WS_VISIBLE : 0);
  const bool is_child = window->style & WS_CHILD;
  const Rect rect = window->rect;
  m_backend.window_shown(handle);
  if (visible != was_visible) deliver(handle, WM_SHOWWINDOW, visible ? 1 : 0, 0);
  if (size_state != old_size_state && find(handle)) {
    const std::int64_t kind = size_state == WS_MINIMIZE   ? SIZE_MINIMIZED
                              : size_state == WS_MAXIMIZE ? SIZE_MAXIMIZED
                                                          : SIZE_RESTORED;
    m_backend.window_moved(handle);
    deliver(handle, WM_SIZE, kind, MAKELPARAM(rect.width(), rect.height()));
  }
  const bool activates = command != SW_HIDE && command != SW_SHOWNOACTIVATE && command != SW_SHOWNA &&
                         command != SW_SHOWMINNOACTIVE && command != SW_MINIMIZE;
  if (!is_child && find(handle)) {
    if (activates) activate(handle);
    if (!visible && m_active == handle) {
      const Window* hidden = find(handle);
      m_active = 0;
      if (find(hidden->owner)) activate(hidden->owner);
    }
  }
  return was_visible;
}

bool WindowSystem::ENABLEWINDOW(Handle handle, bool enable) {
  Window* window = find(handle);
  if (!window) return false;
  const bool was_disabled = window->style & WS_DISABLED;
  if (was_disabled == !enable) return was_disabled;
  window->style = enable ? window->style & ~WS_DISABLED : window->style | WS_DISABLED;
  m_backend.window_state_changed(handle);
  if (!enable && m_focus && is_descendant(m_focus, handle)) m_focus = 0;
  deliver(handle, WM_ENABLE, enable ? 1 : 0, 0);
  return was_disabled;
}

Handle WindowSystem::GETPARENT(Handle handle) const {
  const Window* window = find(handle);
  if (!window) return 0;
  return (window->style & WS_CHILD) ? window->parent : window->owner;
}

Handle WindowSystem::GETWINDOW(Handle handle, int command) const {
  const Window* window = find(handle);
  if (!window) return 0;
  if (command == GW_OWNER) return window->owner;
  if (command == GW_CHILD) return window->children.empty() ? 0 : window->children.front();
  const Window* parent = (window->style & WS_CHILD) ? find(window->parent) : nullptr;
  const std::vector<Handle>& siblings = parent ? parent->children : m_top_level;
  const auto at = std::find(siblings.begin(), siblings.end(), handle);
  if (siblings.empty() || at == siblings.end()) return 0;
  switch (command) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return at + 1 == siblings.end() ? 0 : *(at + 1);
    case GW_HWNDPREV: return at == siblings.begin() ? 0 : *(at - 1);
    default: return 0;
  }
}

Handle WindowSystem::FINDWINDOW(std::string_view class_name, std::string_view title) const {
  for (Handle top : m_top_level) {
    const Window* window = find(top);
    if (!class_name.empty() && !equals_ignoring_case(window->class_name, class_name)) continue;
    if (!title.empty() && window->text != title) continue;
    return top;
  }
  return 0;
}

std::string WindowSystem::GETCLASSNAME(Handle handle) const {
  const Window* window = find(handle);
  return window ? window->class_name.substr(0, 254) : std::string();
}

std::string WindowSystem::GETWINDOWTEXT(Handle handle) {
  if (!find(handle)) return {};
  const std::int64_t length = SENDMESSAGE(handle, WM_GETTEXTLENGTH);
  auto buffer = std::make_shared<std::string>();
  SENDMESSAGE(handle, WM_GETTEXT, length + 1, Param::by_reference(buffer));
  return *buffer;
}

bool WindowSystem::SETWINDOWTEXT(Handle handle, std::string_view text) {
  if (!find(handle)) return false;
  return SENDMESSAGE(handle, WM_SETTEXT, 0, Param::text(std::string(text))) != 0;
}

std::int64_t WindowSystem::GETWINDOWLONG(Handle handle, int index) const {
  const Window* window = find(handle);
  if (!window) return 0;
  switch (index) {
    case GWL_STYLE: return window->style;
    case GWL_EXSTYLE: return window->ex_style;
    case GWL_ID: return window->id;
    case GWL_USERDATA: return window->user_data;
    case GWL_HWNDPARENT: return GETPARENT(handle);
    default: break;
  }
  const auto slot = window->longs.find(index);
  return slot == window->longs.end() ? 0 : slot->second;
}

std::int64_t WindowSystem::SETWINDOWLONG(Handle handle, int index, std::int64_t value) {
  Window* window = find(handle);
  if (!window) return 0;
  std::int64_t previous = 0;
  switch (index) {
    case GWL_STYLE:
      previous = std::exchange(window->style, static_cast<Style>(value));
      m_backend.window_state_changed(handle);
      return previous;
    case GWL_EXSTYLE:
      previous = std::exchange(window->ex_style, static_cast<Style>(value));
      m_backend.window_state_changed(handle);
      return previous;
    case GWL_ID: return std::exchange(window->id, value);
    case GWL_USERDATA: return std::exchange(window->user_data, value);
    default: break;
  }
  const auto slot = window->longs.find(index);
  if (slot == window->longs.end()) return 0;
  return std::exchange(slot->second, value);
}

Handle WindowSystem::GET_MENU(Handle handle) const {
  const Window* window = find(handle);
  return window ? window->menu : 0;
}

bool WindowSystem::SET_MENU(Handle handle, Handle menu) {
  Window* window = find(handle);
  if (!window || (window->style & WS_CHILD) || (menu && !m_menus.is_menu(menu))) return false;
  window->menu = menu;
  m_backend.menu_changed(handle);
  return true;
}

int WindowSystem::SETSCROLLPOS(Handle handle, int bar, int position) {
  Window* window = find(handle);
  if (!window || bar < SB_HORZ || bar > SB_CTL) return 0;
  ScrollInfo& info = window->scroll[static_cast<std::size_t>(bar)];
  const int previous = info.position;
  info.position = std::clamp(position, info.minimum, std::max(info.minimum, info.maximum));
  m_backend.window_state_changed(handle);
  return previous;
}

int WindowSystem::GETSCROLLPOS(Handle handle, int bar) const {
  const Window* window = find(handle);
  if (!window || bar < SB_HORZ || bar > SB_CTL) return 0;
  return window->scroll[static_cast<std::size_t>(bar)].position;
}

bool WindowSystem::SETSCROLLRANGE(Handle handle, int bar, int minimum, int maximum) {
  Window* window = find(handle);
  if (!window || bar < SB_HORZ || bar > SB_CTL) return false;
  ScrollInfo& info = window->scroll[static_cast<std::size_t>(bar)];
  info.minimum = minimum;
  info.maximum = maximum;
  info.position = std::clamp(info.position, minimum, std::max(minimum, maximum));
  m_backend.window_state_changed(handle);
  return true;
}

std::pair<int, int> WindowSystem::GETSCROLLRANGE(Handle handle, int bar) const {
  const Window* window = find(handle);
  if (!window || bar < SB_HORZ || bar > SB_CTL) return {0, 0};
  const ScrollInfo& info = window->scroll[static_cast<std::size_t>(bar)];
  return {info.minimum, info.maximum};
}

std::optional<WindowInfo> WindowSystem::describe(Handle handle) const {
  const Window* window = find(handle);
  if (!window) return std::nullopt;
  WindowInfo info;
  info.handle = handle;
  info.parent = window->parent;
  info.owner = window->owner;
  info.class_name = window->class_name;
  info.text = window->text;
  info.style = window->style;
  info.ex_style = window->ex_style;
  info.rect = GETWINDOWRECT(handle);
  info.id = window->id;
  info.is_enabled = !(window->style & WS_DISABLED);
  info.is_visible = ISWINDOWVISIBLE(handle);
  if (const auto* button = std::get_if<ButtonState>(&window->control)) info.check = button->check;
  if (const auto* list = std::get_if<ListState>(&window->control)) {
    for (const ListItem& item : list->items) info.items.push_back(item.text);
    info.current_item = list->current;
  }
  if (const auto* tree = std::get_if<TreeState>(&window->control)) {
    for (const TreeItem& item : tree->items) info.items.push_back(item.text);
  }
  return info;
}

}  // namespace ui::platform
