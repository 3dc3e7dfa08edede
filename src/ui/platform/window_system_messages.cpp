#include "ui/platform/window_system.h"

#include <string>

namespace ui::platform {

namespace {

// Counts nested deliveries for the lifetime of one, so that a throw unwinds the count.
class NestingGuard {
 public:
  explicit NestingGuard(int& nesting) : m_nesting(nesting) { ++m_nesting; }
  ~NestingGuard() { --m_nesting; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int& m_nesting;
};

// The character a key stands for when no shift state is known; 0 for keys without one.
char key_character(std::int64_t key) {
  switch (key) {
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_RETURN: return '\r';
    case VK_ESCAPE: return '\x1b';
    case VK_SPACE: return ' ';
    default: break;
  }
  if (key >= '0' && key <= '9') return static_cast<char>(key);
  if (key >= 'A' && key <= 'Z') return static_cast<char>(key - 'A' + 'a');
  return 0;
}

}  // namespace

std::int64_t WindowSystem::deliver(Handle handle, MessageId message, const Param& wParam, const Param& lParam) {
  const Window* window = find(handle);
  if (!window) return 0;
  if (m_nesting >= kMaxNesting) {
    throw data::RuntimeError("SENDMESSAGE", "WINDOWS",
                             "message " + std::to_string(message) + " to window " + std::to_string(handle) +
                                 " nests more than " + std::to_string(kMaxNesting) + " messages deep");
  }
  NestingGuard guard(m_nesting);
  std::int64_t answer = 0;
  if (window->handlers && !window->handlers->chain.empty()) {
    record_last_params(wParam, lParam);
    answer = walk_chain(window->handlers->chain.size(), handle, message, wParam, lParam);
  } else {
    answer = call_base(handle, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    if (Window* done = find(handle)) done->handlers.reset();
  }
  return answer;
}

std::int64_t WindowSystem::call_base(Handle handle, MessageId message, const Param& wParam, const Param& lParam) {
  const Window* window = find(handle);
  if (!window || !window->proc) return 0;
  const WindowProc proc = window->proc;
  return proc(*this, handle, message, wParam, lParam);
}

void WindowSystem::record_last_params(const Param& wParam, const Param& lParam) {
  m_last_wparam = wParam.number();
  m_last_lparam = lParam.number();
}

std::int64_t WindowSystem::SENDMESSAGE(Handle window, MessageId message, const Param& wParam,
                                       const Param& lParam) {
  return deliver(window, message, wParam, lParam);
}

bool WindowSystem::POSTMESSAGE(Handle window, MessageId message, const Param& wParam, const Param& lParam) {
  if (window && !find(window)) return false;
  const Message record{window, message, wParam, lParam, GETTICKCOUNT(), 0, 0};
  return m_queue.post(record);
}

std::optional<Message> WindowSystem::next_message(Handle window, MessageId first, MessageId last, bool remove) {
  constexpr Handle kThreadMessagesOnly = 0xFFFFFFFF;
  const auto admits_window = [&](Handle target) {
    if (window == 0) return true;
    if (window == kThreadMessagesOnly) return target == 0;
    return target == window || is_descendant(target, window);
  };
  const auto admits_message = [&](MessageId message) {
    return (first == 0 && last == 0) || (message >= first && message <= last);
  };

  if (auto posted = m_queue.take(
          [&](const Message& m) { return admits_window(m.window) && admits_message(m.message); }, remove)) {
    if (remove) relay_key(*posted);
    return posted;
  }
  if (const auto quit = m_queue.quit_request()) {
    if (remove) m_queue.clear_quit();
    return Message{0, WM_QUIT, *quit, 0, GETTICKCOUNT(), 0, 0};
  }
  if (!admits_message(WM_TIMER)) return std::nullopt;
  const auto timer =
      m_timers.due(m_clock.now(), [&](const TimerQueue::Timer& t) { return admits_window(t.window); });
  if (!timer) return std::nullopt;
  if (remove) m_timers.restart(timer->window, timer->id, m_clock.now());
  return Message{timer->window, WM_TIMER, timer->id, 0, GETTICKCOUNT(), 0, 0};
}

bool WindowSystem::PEEKMESSAGE(Message& record, Handle window, MessageId first, MessageId last,
                               std::uint32_t removal) {
  auto message = next_message(window, first, last, (removal & PM_REMOVE) != 0);
  if (!message) return false;
  record = std::move(*message);
  return true;
}

bool WindowSystem::GETMESSAGE(Message& record, Handle window, MessageId first, MessageId last) {
  for (;;) {
    if (auto message = next_message(window, first, last, true)) {
      record = std::move(*message);
      return record.message != WM_QUIT;
    }
    m_backend.wait_for_input(m_timers.next_due());
  }
}

void WindowSystem::WAITMESSAGE() {
  Message ignored;
  if (PEEKMESSAGE(ignored, 0, 0, 0, PM_NOREMOVE)) return;
  m_backend.wait_for_input(m_timers.next_due());
}

bool WindowSystem::TRANSLATEMESSAGE(const Message& record) {
  if (record.message != WM_KEYDOWN && record.message != WM_SYSKEYDOWN) return false;
  const char character = key_character(record.wParam.number());
  if (character == 0) return false;
  const MessageId translated = record.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  return m_queue.post_next(Message{record.window, translated, static_cast<unsigned char>(character),
                                   record.lParam, record.time, record.x, record.y});
}

std::int64_t WindowSystem::DISPATCHMESSAGE(const Message& record) {
  if (record.window == 0) return 0;  // A thread message: there is no window to give it to.
  return deliver_guarded(record);
}

std::int64_t WindowSystem::deliver_guarded(const Message& record) {
  for (;;) {
    try {
      return deliver(record.window, record.message, record.wParam, record.lParam);
    } catch (const std::exception& error) {
      const ErrorAnswer answer = m_error_block(error, record);
      if (!answer.is_retry) return answer.value;
    }
  }
}

void WindowSystem::set_error_handler(ErrorHandler handler) {
  m_error_block = [handler = std::move(handler)](const std::exception& error, const Message& record) {
    if (const auto* runtime = dynamic_cast<const data::RuntimeError*>(&error)) {
      handler(*runtime, record);
    } else {
      handler(data::RuntimeError("DISPATCHMESSAGE", "C++", error.what()), record);
    }
    return ErrorAnswer{};
  };
}

int WindowSystem::TRANSLATEACCELERATOR(Handle, Handle, const Message&) {
  return 0;  // The program loads no accelerator tables.
}

void WindowSystem::relay_key(const Message& record) {
  if (record.message == WM_KEYDOWN || record.message == WM_KEYUP) {
    if (record.wParam.number() == VK_SHIFT) m_is_shift_down = record.message == WM_KEYDOWN;
  }
  const bool goes_down = record.message == WM_KEYDOWN || record.message == WM_SYSKEYDOWN;
  if (!goes_down || (record.lParam.number() & kKeyWasDown) || m_key_relay.empty()) return;
  for (const auto& [window, message] : std::vector(m_key_relay)) {
    deliver_guarded(
        Message{window, message, record.wParam.number(), record.lParam.number(), record.time, record.x, record.y});
  }
}

Handle WindowSystem::SBKEYBHOOK(Handle window, MessageId message) {
  if (!find(window)) return 0;
  if (m_key_hook == 0) m_key_hook = allocate_handle();
  m_key_relay.emplace_back(window, message);
  return m_key_hook;
}

bool WindowSystem::SBUNHOOKKEYB(Handle window) {
  const bool removed = std::erase_if(m_key_relay, [&](const auto& entry) { return entry.first == window; }) > 0;
  if (m_key_relay.empty()) m_key_hook = 0;
  return removed;
}

std::int64_t WindowSystem::DEFWINDOWPROC(Handle handle, MessageId message, const Param& wParam,
                                         const Param& lParam) {
  Window* window = find(handle);
  if (!window) return 0;
  switch (message) {
    case WM_NCCREATE: return 1;
    case WM_SETTEXT:
      window->text = lParam.text();
      m_backend.window_text_changed(handle);
      return 1;
    case WM_GETTEXT: {
      std::string* target = lParam.writable_text();
      if (!target || wParam.number() <= 0) return 0;
      *target = window->text.substr(0, static_cast<std::size_t>(wParam.number() - 1));
      return static_cast<std::int64_t>(target->size());
    }
    case WM_GETTEXTLENGTH: return static_cast<std::int64_t>(window->text.size());
    case WM_CLOSE: DESTROYWINDOW(handle); return 0;
    case WM_SYSCOMMAND:
      if ((wParam.number() & 0xFFF0) == SC_CLOSE) deliver(handle, WM_CLOSE, 0, 0);
      return 0;
    case WM_SETFONT: window->font = static_cast<Handle>(wParam.number()); return 0;
    case WM_GETFONT: return window->font;
    default: return 0;
  }
}

int WindowSystem::SET_MESSAGEQUEUE(int wanted) {
  constexpr int kLargestRequest = 120;
  constexpr int kStep = 8;
  if (wanted > kLargestRequest) return -1;
  // Our queue holds up to MessageQueue::kCapacity messages, so any positive length is granted.
  const auto grants = [](int length) { return length > 0 && static_cast<std::size_t>(length) <= MessageQueue::kCapacity; };
  for (int length = wanted;; length -= kStep) {
    if (grants(length)) {
      m_queue_length = length;
      return 1;
    }
    if (length - kStep < kStep) return 0;
  }
}

MessageId WindowSystem::REGISTERWINDOWMESSAGE(std::string_view name) {
  if (name.empty()) return 0;
  for (std::size_t i = 0; i < m_registered_messages.size(); ++i) {
    if (m_registered_messages[i].size() == name.size() &&
        std::equal(name.begin(), name.end(), m_registered_messages[i].begin(),
                   [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) ==
                                               std::toupper(static_cast<unsigned char>(b)); })) {
      return kFirstRegisteredMessage + static_cast<MessageId>(i);
    }
  }
  m_registered_messages.emplace_back(name);
  return kFirstRegisteredMessage + static_cast<MessageId>(m_registered_messages.size() - 1);
}

void WindowSystem::COPYDATA(Handle sender, Handle target, std::string_view text) {
  deliver(target, WM_COPYDATA, sender, Param::text(std::string(text)));
}

std::uint32_t WindowSystem::SETTIMER(Handle window, std::uint32_t id, std::uint32_t milliseconds) {
  if (window && !find(window)) return 0;
  const std::uint32_t set = m_timers.set(window, id, Millis{milliseconds}, m_clock.now());
  return set == 0 ? 1 : set;
}

bool WindowSystem::KILLTIMER(Handle window, std::uint32_t id) { return m_timers.kill(window, id); }

std::int32_t WindowSystem::GETTICKCOUNT() const {
  // The business code stores and compares a signed 32-bit count that goes negative
  // after about 24.8 days and wraps after 2^32 ms.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(m_clock.now().count()));
}

void WindowSystem::notify_parent(Handle control, std::int64_t code) {
  const Window* window = find(control);
  if (!window || !(window->style & WS_CHILD) || !find(window->parent)) return;
  deliver(window->parent, WM_COMMAND, MAKELPARAM(window->id, code), control);
}

}  // namespace ui::platform
