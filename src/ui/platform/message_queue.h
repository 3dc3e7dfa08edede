#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

#include "ui/platform/message.h"

namespace ui::platform {

// The posted messages of the user-interface thread, oldest first, and its quit request.
class MessageQueue {
 public:
  // More posted messages than this and POSTMESSAGE fails, as the system's queue does.
  static constexpr std::size_t kCapacity = 10'000;

  // False when the queue is full; the message is then not queued.
  bool post(Message message);
  // Queues a message ahead of all others (the character a key press was translated into).
  bool post_next(Message message);
  // The oldest message that `matches` admits; removed when `remove` is true.
  std::optional<Message> take(const std::function<bool(const Message&)>& matches, bool remove);
  // Drops every message for `window` (it has been destroyed).
  void purge(Handle window);
  bool is_empty() const { return m_messages.empty(); }
  std::size_t size() const { return m_messages.size(); }

  void request_quit(int code) { m_quit_code = code; }
  std::optional<int> quit_request() const { return m_quit_code; }
  void clear_quit() { m_quit_code.reset(); }

 private:
  std::deque<Message> m_messages;
  std::optional<int> m_quit_code;
};

}  // namespace ui::platform
