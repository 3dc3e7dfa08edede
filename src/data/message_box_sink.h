#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace data {

// Flags and answers of a message box, as the business code passes and tests them.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_OKCANCEL = 0x1;
inline constexpr int MB_ABORTRETRYIGNORE = 0x2;
inline constexpr int MB_YESNOCANCEL = 0x3;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_RETRYCANCEL = 0x5;
inline constexpr int MB_ICONSTOP = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONEXCLAMATION = 0x30;
inline constexpr int MB_ICONINFORMATION = 0x40;
inline constexpr int MB_DEFBUTTON2 = 0x100;
inline constexpr int MB_DEFBUTTON3 = 0x200;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// How the data layer tells the operator something (a busy table, a copy that keeps failing)
// without knowing the user interface: the main frame installs its MESSAGE_BOX behind this, and
// unattended runs and tests keep the headless default. A call may pump window messages until the
// operator answers, so timers and other handlers may have run when it returns.
class MessageBoxSink {
 public:
  virtual ~MessageBoxSink() = default;
  // Shows `text` with `caption` and returns the button chosen (IDOK, IDYES, ...).
  virtual int MESSAGE_BOX(std::string_view text, std::string_view caption, int flags) = 0;
};

// The button a box of these flags answers when nobody chooses: the default button.
int default_button(int flags);

// Writes each message as one log line and answers with the default button at once. A retry loop
// shows the same text every 100 ms, so identical repeats are collapsed: the first is written, the
// next different message (or destruction) first writes how many times the previous one repeated.
class HeadlessMessageBoxSink final : public MessageBoxSink {
 public:
  explicit HeadlessMessageBoxSink(std::ostream& log);
  ~HeadlessMessageBoxSink() override;
  HeadlessMessageBoxSink(const HeadlessMessageBoxSink&) = delete;
  HeadlessMessageBoxSink& operator=(const HeadlessMessageBoxSink&) = delete;

  int MESSAGE_BOX(std::string_view text, std::string_view caption, int flags) override;
  // Every call so far, repeats included.
  int shown() const { return m_shown; }

 private:
  void flush_repeats();

  std::ostream& m_log;
  std::string m_last;  // Caption and text of the last message written.
  int m_repeats = 0;   // Further calls with that same message, not yet reported.
  int m_shown = 0;
};

}  // namespace data
