#pragma once

#include <string>
#include <utility>
#include <variant>

namespace data {

// Why a fallible call did not produce its value. `code` is negative where a business
// contract defines codes (mail engine codes, for example) and otherwise a small number
// of the subsystem's own; `text` is one clear sentence for a log or a status field.
struct Error {
  int code = -1;
  std::string text;
};

// Wraps an Error so that `return unexpected(Error{...})` reads like std::expected.
struct Unexpected {
  Error error;
};
inline Unexpected unexpected(Error error) { return Unexpected{std::move(error)}; }
inline Unexpected unexpected(int code, std::string text) { return Unexpected{Error{code, std::move(text)}}; }

// A value or the Error that prevented it. Spelled like std::expected so that C++23 can
// replace it: `if (!r) return r.error();`, `*r`, `r->member`, `r.value_or(x)`.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
  Result(Unexpected failure) : m_state(std::in_place_index<1>, std::move(failure.error)) {}
  Result(Error failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

  bool has_value() const { return m_state.index() == 0; }
  explicit operator bool() const { return has_value(); }

  // Requires: has_value().
  T& value() & { return std::get<0>(m_state); }
  const T& value() const& { return std::get<0>(m_state); }
  T&& value() && { return std::get<0>(std::move(m_state)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // Requires: !has_value().
  const Error& error() const { return std::get<1>(m_state); }

  template <typename U>
  T value_or(U&& fallback) const& {
    return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
  }

 private:
  std::variant<T, Error> m_state;
};

// The result of a call that yields nothing but can fail.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Unexpected failure) : m_error(std::move(failure.error)), m_failed(true) {}
  Result(Error failure) : m_error(std::move(failure)), m_failed(true) {}

  bool has_value() const { return !m_failed; }
  explicit operator bool() const { return has_value(); }
  // Requires: !has_value().
  const Error& error() const { return m_error; }

 private:
  Error m_error;
  bool m_failed = false;
};

}  // namespace data
