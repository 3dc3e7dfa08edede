#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>

namespace ui::platform {

// One message parameter (wParam or lParam): a number, a text handed over by copy, or a
// text passed by reference that the receiver may fill (WM_GETTEXT, CB_GETLBTEXT).
// Copies of a by-reference parameter share the caller's text, so whatever the receiver
// writes is what the caller reads back once the send returns.
class Param {
 public:
  Param() = default;
  template <typename T>
    requires std::integral<T>
  Param(T number) : m_number(static_cast<std::int64_t>(number)) {}

  // A text the receiver may read; its number is 0.
  static Param text(std::string text);
  // A text the receiver may replace; the caller keeps `target` to read the answer.
  static Param by_reference(std::shared_ptr<std::string> target);

  std::int64_t number() const { return m_number; }
  bool has_text() const { return m_text != nullptr; }
  // "" when the parameter carries no text.
  const std::string& text() const;
  // The caller's text for a by-reference parameter; nullptr otherwise.
  std::string* writable_text() const { return m_writable ? m_text.get() : nullptr; }

 private:
  std::int64_t m_number = 0;
  std::shared_ptr<std::string> m_text;
  bool m_writable = false;
};

inline Param Param::text(std::string text) {
  Param param;
  param.m_text = std::make_shared<std::string>(std::move(text));
  return param;
}

inline Param Param::by_reference(std::shared_ptr<std::string> target) {
  Param param;
  param.m_text = std::move(target);
  param.m_writable = param.m_text != nullptr;
  return param;
}

inline const std::string& Param::text() const {
  static const std::string kNone;
  return m_text ? *m_text : kNone;
}

}  // namespace ui::platform
