#pragma once

#include <algorithm>
#include <vector>

#include "ui/platform/messages.h"

namespace ui::platform {

// Which messages a handler installed with SUBCLASSWINDOW sees: every message (the
// business code passes a number), a list of message numbers, or none (any other value).
class MessageFilter {
 public:
  static MessageFilter all() { return MessageFilter(Kind::All, {}); }
  static MessageFilter only(std::vector<MessageId> messages) { return MessageFilter(Kind::List, std::move(messages)); }
  static MessageFilter none() { return MessageFilter(Kind::None, {}); }

  bool admits(MessageId message) const {
    switch (m_kind) {
      case Kind::All: return true;
      case Kind::List: return std::find(m_messages.begin(), m_messages.end(), message) != m_messages.end();
      case Kind::None: return false;
    }
    return false;
  }

 private:
  enum class Kind { All, List, None };
  MessageFilter(Kind kind, std::vector<MessageId> messages) : m_kind(kind), m_messages(std::move(messages)) {}
  Kind m_kind;
  std::vector<MessageId> m_messages;
};

}  // namespace ui::platform
