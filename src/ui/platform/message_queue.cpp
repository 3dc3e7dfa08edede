#include "ui/platform/message_queue.h"

#include <algorithm>

namespace ui::platform {

bool MessageQueue::post(Message message) {
  if (m_messages.size() >= kCapacity) return false;
  m_messages.push_back(std::move(message));
  return true;
}

bool MessageQueue::post_next(Message message) {
  if (m_messages.size() >= kCapacity) return false;
  m_messages.push_front(std::move(message));
  return true;
}

std::optional<Message> MessageQueue::take(const std::function<bool(const Message&)>& matches, bool remove) {
  const auto found = std::find_if(m_messages.begin(), m_messages.end(), matches);
  if (found == m_messages.end()) return std::nullopt;
  Message message = *found;
  if (remove) m_messages.erase(found);
  return message;
}

void MessageQueue::purge(Handle window) {
  std::erase_if(m_messages, [window](const Message& message) { return message.window == window; });
}

}  // namespace ui::platform
