#pragma once

#include <unistd.h>

#include <utility>

namespace data {

// Owns one file descriptor and closes it on destruction. Closing drops every
// open-file-description lock taken through it, which is how a crashed holder's record
// locks disappear for the suite's other programs.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return m_fd; }
  explicit operator bool() const { return m_fd >= 0; }
  void reset() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
  }

 private:
  int m_fd = -1;
};

}  // namespace data
