#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "data/runtime_error.h"
#include "data/value.h"
#include "ui/platform/clock.h"
#include "ui/platform/dialog_template.h"
#include "ui/platform/display_backend.h"
#include "ui/platform/geometry.h"
#include "ui/platform/menu_table.h"
#include "ui/platform/message.h"
#include "ui/platform/message_filter.h"
#include "ui/platform/message_queue.h"
#include "ui/platform/resource_script.h"
#include "ui/platform/timer_queue.h"
#include "ui/platform/window.h"

namespace ui::platform {

// What a run-time error raised by a handler, timer or posted message is handed to by the
// dispatcher. The message that was being dispatched comes along.
using ErrorHandler = std::function<void(const data::RuntimeError&, const Message&)>;

// The error handler's verdict on a failed handler: deliver the message again, or go on with
// `value` as the handler's answer (0 is the default answer).
struct ErrorAnswer {
  bool is_retry = false;
  std::int64_t value = 0;
};

// The full form of the error handler: it gets every exception a handler lets out (a
// data::RuntimeError, or any other std::exception such as std::bad_alloc or a failed
// std::filesystem call) and decides between retry and a value. It is called inside the
// dispatcher's catch, so it may pump messages (a private loop of an error window).
using ErrorBlock = std::function<ErrorAnswer(const std::exception&, const Message&)>;

// A snapshot of one window for back ends and tests.
struct WindowInfo {
  Handle handle = 0;
  Handle parent = 0;
  Handle owner = 0;
  std::string class_name;
  std::string text;
  Style style = 0;
  Style ex_style = 0;
  Rect rect;  // Screen coordinates.
  std::int64_t id = 0;
  bool is_enabled = true;
  bool is_visible = false;
  std::int64_t check = 0;           // Buttons.
  std::vector<std::string> items;   // Combo boxes, list boxes, tree views (display order).
  int current_item = -1;            // Combo boxes and list boxes.
};

// The program's window system: window classes and windows, the controls, menus, timers,
// the posted-message queue, handler chains and dialog levels, message boxes and dialog
// resources. It owns every window; the rest of the program holds handles (numbers).
//
// The operations keep the names and results the business code uses: failures are 0,
// false, "" or -1, never exceptions. Whatever sends or dispatches messages may run any
// handler of the program before it returns (timers included, when it pumps). A handler
// may throw data::RuntimeError (or any std::exception): DISPATCHMESSAGE catches it and
// hands it to the error block, which answers retry (the message is delivered again) or the
// value DISPATCHMESSAGE returns; a send merely passes it to its caller. Messages nested deeper than
// kMaxNesting throw data::RuntimeError instead of overflowing the stack.
//
// One thread only. Split over several .cpp files by responsibility (windows, messages,
// handler chains, dialogs, geometry, message boxes).
class WindowSystem {
 public:
  static constexpr int kMaxNesting = 200;

  WindowSystem(Clock& clock, DisplayBackend& backend);
  ~WindowSystem();
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;

  // Set-up.
  // The simple form answers the default (0) after the handler has seen the error; other
  // exceptions reach it as a data::RuntimeError of subsystem "C++".
  void set_error_handler(ErrorHandler handler);
  void set_error_block(ErrorBlock block) { m_error_block = std::move(block); }
  void add_resources(const ResourceScript& script) { m_resources.merge(script); }
  const ResourceScript& resources() const { return m_resources; }
  void set_monitors(std::vector<Monitor> monitors);
  const std::vector<Monitor>& monitors() const { return m_monitors; }
  // The main frame owns every MESSAGE_BOX.
  void set_main_frame(Handle frame) { m_main_frame = frame; }
  Handle main_frame() const { return m_main_frame; }
  Clock& clock() { return m_clock; }
  MenuTable& menus() { return m_menus; }
  const MenuTable& menus() const { return m_menus; }
  std::optional<WindowInfo> describe(Handle window) const;
  std::vector<Handle> children(Handle window) const;
  std::vector<Handle> top_level_windows() const { return m_top_level; }

  // Classes and windows.
  bool REGISTERCLASS(std::string_view class_name, int window_extra = 0);
  bool UNREGISTERCLASS(std::string_view class_name);
  Handle CREATEWINDOWEX(Style ex_style, std::string_view class_name, std::string_view title, Style style, int x,
                        int y, int width, int height, Handle parent, std::int64_t menu_or_id,
                        const Param& create_param = {});
  Handle CREATEWINDOW(std::string_view class_name, std::string_view title, Style style, int x, int y, int width,
                      int height, Handle parent, std::int64_t menu_or_id);
  bool DESTROYWINDOW(Handle window);
  bool ISWINDOW(Handle window) const { return find(window) != nullptr; }
  bool ISWINDOWVISIBLE(Handle window) const;
  bool ISWINDOWENABLED(Handle window) const;
  bool ISICONIC(Handle window) const;
  bool SHOWWINDOW(Handle window, int command);
  bool OPENICON(Handle window) { return SHOWWINDOW(window, SW_RESTORE); }
  bool ENABLEWINDOW(Handle window, bool enable);
  Handle GETPARENT(Handle window) const;
  Handle GETWINDOW(Handle window, int command) const;
  Handle GETDESKTOPWINDOW() const { return m_desktop; }
  Handle FINDWINDOW(std::string_view class_name, std::string_view title) const;
  Handle WINDOWFROMPOINT(Point point) const;
  std::string GETCLASSNAME(Handle window) const;
  std::string GETWINDOWTEXT(Handle window);
  bool SETWINDOWTEXT(Handle window, std::string_view text);
  std::int64_t GETWINDOWLONG(Handle window, int index) const;
  std::int64_t SETWINDOWLONG(Handle window, int index, std::int64_t value);
  Handle GET_MENU(Handle window) const;
  bool SET_MENU(Handle window, Handle menu);
  int SETSCROLLPOS(Handle window, int bar, int position);
  int GETSCROLLPOS(Handle window, int bar) const;
  bool SETSCROLLRANGE(Handle window, int bar, int minimum, int maximum);
  std::pair<int, int> GETSCROLLRANGE(Handle window, int bar) const;

  // Geometry and placement.
  Rect GETWINDOWRECT(Handle window) const;
  Rect GETCLIENTRECT(Handle window) const;
  bool SETWINPOS(Handle window, Handle insert_after, int x, int y, int width, int height, std::uint32_t flags);
  Point CLIENTTOSCREEN(Handle window, Point point) const;
  Point SCREENTOCLIENT(Handle window, Point point) const;
  bool CLIPORCENTERWINDOWTOMONITOR(Handle window, int flags = 3);
  bool SETMULTIWINCLIPPOS(Handle window, Handle insert_after, int x, int y, int width, int height,
                          std::uint32_t position_flags, int clip_flags = 2);
  bool CENTERWINDOW(Handle window);
  // {record length, flags, show command, minimised x, y, maximised x, y, normal left, top,
  // right, bottom}; all 0 for an unknown window.
  std::array<int, 11> GETWINDOWPLACEMENT(Handle window) const;
  // Restores the normal rectangle and applies the show command; false for an unknown window.
  bool SETWINDOWPLACEMENT(Handle window, const std::array<int, 11>& placement);

  // Focus and activation.
  Handle GETFOCUS() const { return m_focus; }
  Handle SETFOCUS(Handle window);
  Handle GETACTIVEWINDOW() const { return m_active; }
  bool SETFOREGROUNDWINDOW(Handle window);
  bool BRINGWINDOWTOTOP(Handle window);

  // Messages.
  std::int64_t SENDMESSAGE(Handle window, MessageId message, const Param& wParam = {}, const Param& lParam = {});
  bool POSTMESSAGE(Handle window, MessageId message, const Param& wParam = {}, const Param& lParam = {});
  bool PEEKMESSAGE(Message& record, Handle window, MessageId first, MessageId last, std::uint32_t removal);
  // Waits for a message; false when the quit message was taken.
  bool GETMESSAGE(Message& record, Handle window, MessageId first, MessageId last);
  bool TRANSLATEMESSAGE(const Message& record);
  std::int64_t DISPATCHMESSAGE(const Message& record);
  int TRANSLATEACCELERATOR(Handle window, Handle table, const Message& record);
  void WAITMESSAGE();
  void POSTQUITMESSAGE(int code) { m_queue.request_quit(code); }
  std::int64_t DEFWINDOWPROC(Handle window, MessageId message, const Param& wParam, const Param& lParam);
  // 1 granted, 0 refused even at 8, -1 above 120.
  int SET_MESSAGEQUEUE(int wanted);
  MessageId REGISTERWINDOWMESSAGE(std::string_view name);
  void COPYDATA(Handle sender, Handle target, std::string_view text);
  std::int64_t GETLASTWPARAM() const { return m_last_wparam; }
  std::int64_t GETLASTLPARAM() const { return m_last_lparam; }
  std::size_t queued_messages() const { return m_queue.size(); }

  // Handler chains. SUBCLASSWINDOW answers the level the block passes messages on to
  // (1 for the first block of a window), 0 for an unknown window.
  // A null block is installed all the same (and reported on the debug trace); the walk
  // always skips it.
  int SUBCLASSWINDOW(Handle window, Handler block, MessageFilter filter);
  std::int64_t CALLWINDOWPROC(int level, Handle window, MessageId message, const Param& wParam,
                              const Param& lParam);

  // Timers.
  std::uint32_t SETTIMER(Handle window, std::uint32_t id, std::uint32_t milliseconds);
  bool KILLTIMER(Handle window, std::uint32_t id);
  std::int32_t GETTICKCOUNT() const;

  // Dialogs.
  std::int64_t DIALOGBOX(std::string_view template_name, Handle owner, Handler block);
  Handle CREATEDIALOGEX(std::string_view template_name, Handle owner, Handler block);
  Handle WDCREATEDIALOGINDIRECT(const DialogTemplate& dialog, Handle owner, Handler block);
  bool ENDDIALOG(Handle dialog, std::int64_t result);
  bool ISDIALOGMESSAGE(Handle dialog, const Message& record);
  Handle GETDLGITEM(Handle dialog, std::int64_t id) const;
  std::int64_t GETDLGCTRLID(Handle control) const;
  std::string GETDLGITEMTEXT(Handle dialog, std::int64_t id);
  bool SETDLGITEMTEXT(Handle dialog, std::int64_t id, std::string_view text);
  std::int64_t SENDDLGITEMMESSAGE(Handle dialog, std::int64_t id, MessageId message, const Param& wParam = {},
                                  const Param& lParam = {});
  bool CHECKRADIOBUTTON(Handle dialog, std::int64_t first, std::int64_t last, std::int64_t check);
  Handle GETNEXTDLGTABITEM(Handle dialog, Handle control, bool previous);
  // String resources: at most 1,023 characters; "" when missing.
  std::string LOADSTRING(int number) const;
  std::string LOADPARAMSTRING(int number, const data::Value& argument) const;

  // Message boxes: the button pressed (IDOK, IDCANCEL, …). They pump messages while open.
  int XMESSAGE_BOX(Handle owner, std::string_view text, std::string_view caption, std::uint32_t flags);
  int MESSAGE_BOX(std::string_view text, std::string_view caption, std::uint32_t flags) {
    return XMESSAGE_BOX(m_main_frame, text, caption, flags);
  }
  void answer_message_box(int request, int button);

  // Keyboard relay: every key going down is also sent to each registered window as
  // `message` with the virtual key in wParam and the key data in lParam.
  Handle SBKEYBHOOK(Handle window, MessageId message);
  bool SBUNHOOKKEYB(Handle window);

  // Tree views (the access-log viewer fills one); item 0 is the root.
  std::int64_t tree_insert(Handle tree, std::int64_t parent_item, std::string_view text, std::int64_t data = 0);
  std::vector<TreeItem> tree_items(Handle tree) const;

 private:
  friend class ControlProcedures;
  friend class PersonInput;
  struct WindowClass {
    std::string name;
    WindowProc proc = nullptr;
    int window_extra = 0;
  };

  Window* find(Handle window);
  const Window* find(Handle window) const;
  Handle allocate_handle() { return m_next_handle += 2; }
  const WindowClass* find_class(std::string_view name) const;
  bool is_descendant(Handle window, Handle ancestor) const;
  Handle top_level_of(Handle window) const;
  Point client_origin(Handle window) const;
  void activate(Handle window);

  // Delivery (window_system_messages.cpp, window_system_chain.cpp).
  std::int64_t deliver(Handle window, MessageId message, const Param& wParam, const Param& lParam);
  // deliver() with every exception handed to the error block, again while it answers retry.
  std::int64_t deliver_guarded(const Message& record);
  std::int64_t call_base(Handle window, MessageId message, const Param& wParam, const Param& lParam);
  std::int64_t walk_chain(std::size_t from_entry, Handle window, MessageId message, const Param& wParam,
                          const Param& lParam);
  std::optional<Message> next_message(Handle window, MessageId first, MessageId last, bool remove);
  void relay_key(const Message& record);
  void record_last_params(const Param& wParam, const Param& lParam);
  void notify_parent(Handle control, std::int64_t code);
  static std::int64_t dialog_procedure(WindowSystem& ws, Handle, MessageId, const Param&, const Param&);

  // Windows (window_system.cpp).
  void destroy_notify(Handle window);
  void destroy_final(Handle window);
  Handle create_dialog(const DialogTemplate& dialog, Handle owner, Handler block, bool is_modal);
  void move_to(Handle window, Rect rect, std::uint32_t flags);

  Clock& m_clock;
  DisplayBackend& m_backend;
  ErrorBlock m_error_block;
  ResourceScript m_resources;
  std::vector<Monitor> m_monitors;
  Handle m_next_handle = 0x10000;
  Handle m_desktop = 0;
  Handle m_main_frame = 0;
  Handle m_focus = 0;
  Handle m_active = 0;
  std::unordered_map<Handle, std::unique_ptr<Window>> m_windows;
  std::vector<Handle> m_top_level;  // Top-level windows in z-order, first on top.
  std::vector<WindowClass> m_classes;
  std::vector<std::string> m_registered_messages;
  MessageQueue m_queue;
  TimerQueue m_timers;
  MenuTable m_menus;
  int m_queue_length = 8;
  int m_nesting = 0;
  std::int64_t m_last_wparam = 0;
  std::int64_t m_last_lparam = 0;
  std::vector<std::pair<Handle, MessageId>> m_key_relay;
  Handle m_key_hook = 0;
  bool m_is_shift_down = false;
  std::unique_ptr<DialogState> m_next_dialog;  // Handed to the dialog window being created.
  int m_next_message_box = 0;
  std::unordered_map<int, int> m_message_box_answers;
};

}  // namespace ui::platform
