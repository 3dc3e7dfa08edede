#include "data/message_box_sink.h"

namespace data {

int default_button(int flags) {
  const int second = (flags & 0xF00) == MB_DEFBUTTON2;
  const int third = (flags & 0xF00) == MB_DEFBUTTON3;
  switch (flags & 0xF) {
    case MB_OKCANCEL:
      return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE:
      return third ? IDIGNORE : second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL:
      return third ? IDCANCEL : second ? IDNO : IDYES;
    case MB_YESNO:
      return second ? IDNO : IDYES;
    case MB_RETRYCANCEL:
      return second ? IDCANCEL : IDRETRY;
    default:
      return IDOK;
  }
}

HeadlessMessageBoxSink::HeadlessMessageBoxSink(std::ostream& log) : m_log(log) {}

HeadlessMessageBoxSink::~HeadlessMessageBoxSink() { flush_repeats(); }

void HeadlessMessageBoxSink::flush_repeats() {
  if (m_repeats > 0) m_log << "[message] (repeated " << m_repeats << " more times)\n" << std::flush;
  m_repeats = 0;
}

int HeadlessMessageBoxSink::MESSAGE_BOX(std::string_view text, std::string_view caption, int flags) {
  ++m_shown;
  std::string line = std::string(caption) + ": " + std::string(text);
  if (line == m_last) {
    ++m_repeats;
  } else {
    flush_repeats();
    m_log << "[message] " << line << '\n' << std::flush;
    m_last = std::move(line);
  }
  return default_button(flags);
}

}  // namespace data
