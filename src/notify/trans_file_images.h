#pragma once

#include <string>

namespace notify {

// The byte that stands for the dot of a web image's extension while a template is expanded, so
// the reference is not found again; it never occurs in UTF-8 text. The writer turns it back.
inline constexpr char kMaskedDot = '\xFF';

// Turns the local image references of a template into content ids, numbering them across the
// chunks of one template.
class ImageReferences {
 public:
  // Rewrites the references found in `buffer`: first every ".jpg", then ".gif", then ".png"
  // (any case). A reference is the text after the nearest double quote, single quote, "=" or
  // "(" before the extension. Local ones become "cid:message-root." + N and are listed; web ones
  // (holding "http:" or "https:", or starting with "//") and ones with no such character before
  // them on their line get their dot masked with kMaskedDot and are otherwise left as they are.
  void rewrite(std::string& buffer);

  // The listed references, comma-separated, in the order of their numbers.
  const std::string& list() const { return m_list; }

 private:
  std::string m_list;
  int m_next = 1;
};

// `text` with every kMaskedDot turned back into ".", appended to `out`.
void append_unmasked(std::string& out, std::string_view text);

}  // namespace notify
