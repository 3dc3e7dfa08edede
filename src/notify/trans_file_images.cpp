#include "notify/trans_file_images.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace notify {

namespace {

// How far back from an extension a reference may start. A longer walk means the extension is not
// part of a file reference (text of a paragraph, say).
constexpr std::size_t kLongestReference = 2048;

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool contains_ignoring_case(std::string_view text, std::string_view upper_word) {
  if (text.size() < upper_word.size()) return false;
  for (std::size_t i = 0; i + upper_word.size() <= text.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < upper_word.size() && same; ++k) same = upper(text[i + k]) == upper_word[k];
    if (same) return true;
  }
  return false;
}

// The next ".JPG" (any case) at or after `from`, or npos.
std::size_t find_extension(const std::string& buffer, std::string_view upper_ext, std::size_t from) {
  while (from + upper_ext.size() <= buffer.size()) {
    const void* dot = std::memchr(buffer.data() + from, '.', buffer.size() - from);
    if (!dot) return std::string::npos;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(dot) - buffer.data());
    if (at + upper_ext.size() > buffer.size()) return std::string::npos;
    bool same = true;
    for (std::size_t k = 1; k < upper_ext.size() && same; ++k) same = upper(buffer[at + k]) == upper_ext[k];
    if (same) return at;
    from = at + 1;
  }
  return std::string::npos;
}

bool is_web_reference(std::string_view reference) {
  return contains_ignoring_case(reference, "HTTP:") || contains_ignoring_case(reference, "HTTPS:") ||
         reference.substr(0, 2) == "//";
}

// The start of the reference that ends at `dot`, or npos when no delimiter precedes it on its line.
std::size_t reference_start(const std::string& buffer, std::size_t dot) {
  const std::size_t floor = dot > kLongestReference ? dot - kLongestReference : 0;
  for (std::size_t p = dot; p > floor; --p) {
    const char c = buffer[p - 1];
    if (c == '"' || c == '\'' || c == '=' || c == '(') return p;
    if (c == '<' || c == '>' || c == '\n' || c == '\r') return std::string::npos;
  }
  return std::string::npos;
}

}  // namespace

void ImageReferences::rewrite(std::string& buffer) {
  static constexpr std::array<std::string_view, 3> kExtensions{".JPG", ".GIF", ".PNG"};
  for (const std::string_view ext : kExtensions) {
    std::size_t from = 0;
    while (true) {
      const std::size_t dot = find_extension(buffer, ext, from);
      if (dot == std::string::npos) break;
      const std::size_t end = dot + ext.size();
      const std::size_t start = reference_start(buffer, dot);
      if (start == std::string::npos || is_web_reference(std::string_view(buffer).substr(start, end - start))) {
        buffer[dot] = kMaskedDot;
        from = end;
        continue;
      }
      const std::string id = "cid:message-root." + std::to_string(m_next++);
      if (!m_list.empty()) m_list += ',';
      m_list.append(buffer, start, end - start);
      buffer.replace(start, end - start, id);
      from = start + id.size();
    }
  }
}

void append_unmasked(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const void* mask = std::memchr(text.data(), kMaskedDot, text.size());
    if (!mask) {
      out.append(text);
      return;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(mask) - text.data());
    out.append(text.substr(0, at));
    out.push_back('.');
    text.remove_prefix(at + 1);
  }
}

}  // namespace notify
