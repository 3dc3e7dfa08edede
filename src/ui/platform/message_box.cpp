#include "ui/platform/message_box_buttons.h"
#include "ui/platform/window_system.h"

namespace ui::platform {

std::vector<int> message_box_buttons(std::uint32_t flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
  }
}

int message_box_default_button(std::uint32_t flags) {
  const std::vector<int> buttons = message_box_buttons(flags);
  const std::size_t index = (flags & MB_DEFMASK) >> 8;
  return index < buttons.size() ? buttons[index] : buttons.front();
}

int WindowSystem::XMESSAGE_BOX(Handle owner, std::string_view text, std::string_view caption,
                               std::uint32_t flags) {
  const Handle focus = m_focus;
  if (!owner) owner = m_active;
  if (!find(owner)) owner = 0;
  MessageBoxRequest request;
  request.request = ++m_next_message_box;
  request.owner = owner;
  request.caption = std::string(caption);
  request.text = std::string(text);
  request.flags = flags;
  request.buttons = message_box_buttons(flags);
  request.default_button = message_box_default_button(flags);

  std::optional<int> answer = m_backend.message_box(request);
  // The box stays up while the person decides; timers and posted messages keep running.
  while (!answer) {
    if (const auto given = m_message_box_answers.find(request.request); given != m_message_box_answers.end()) {
      answer = given->second;
      m_message_box_answers.erase(given);
      break;
    }
    Message message;
    if (!GETMESSAGE(message, 0, 0, 0)) {
      POSTQUITMESSAGE(static_cast<int>(message.wParam.number()));
      answer = request.default_button;
      break;
    }
    TRANSLATEMESSAGE(message);
    DISPATCHMESSAGE(message);
  }
  if (focus && find(focus)) SETFOCUS(focus);
  return *answer;
}

void WindowSystem::answer_message_box(int request, int button) {
  m_message_box_answers[request] = button;
  m_queue.post(Message{0, WM_NULL, 0, 0, GETTICKCOUNT(), 0, 0});  // Wakes the box's loop.
}

}  // namespace ui::platform
