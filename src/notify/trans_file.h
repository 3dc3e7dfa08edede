#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/result.h"

namespace notify {

// One {placeholder, value} pair of a substitution list. Placeholders are plain words of a mail
// template ("XHOTEL"); every occurrence is replaced by the value.
struct Substitution {
  std::string placeholder;
  std::string value;
};

// An ordered substitution list. Its pairs apply one after the other in list order, so a longer
// placeholder must come before a shorter one that begins it ("XFECHA1" before "XFECHA"), and a
// value that holds a placeholder of a later pair has that placeholder replaced too.
using SubstitutionList = std::vector<Substitution>;

// What TRANS_FILE does besides substituting.
enum class TemplateMode {
  SubstituteOnly = 0,
  EmbedImages = 1,  // Also turn local image references into "cid:message-root.N".
};

// Codes of the errors of template expansion.
inline constexpr int kTemplateUnreadable = 1;
inline constexpr int kBodyUnwritable = 2;

struct TemplateExpansion {
  // The local images the body now refers to, comma-separated, the N-th being
  // "cid:message-root.N"; "" in SubstituteOnly mode or when there are none.
  std::string images;
  // Set when the template could not be opened or read: the body file was written empty.
  std::optional<data::Error> template_error;
};

// The chunk of template text expansion works on: 5000 characters, or the longest placeholder when
// that is longer.
std::size_t template_chunk_size(const SubstitutionList& pairs);

// Expands the HTML template `source` into the body file `target` (created or replaced): every
// placeholder of `pairs` is replaced by its value, exactly as if the pairs were applied one after
// the other to the whole template, and in EmbedImages mode every reference to a local ".jpg",
// ".gif" or ".png" (any case; the text after the nearest double quote, single quote, "=" or "(")
// becomes "cid:message-root." + N; web images (http:, https: or "//") stay as they are. Within
// each chunk pair the references are numbered ".jpg" first, then ".gif", then ".png".
//
// The body is UTF-8; a template that is not valid UTF-8 is read as Windows-1252, the code page
// of the suite's other programs. The file is read in chunks and less than three chunks of template
// text are held at a time, besides the values being inserted.
//
// A template that cannot be opened or read gives an empty body file and `template_error`; the
// caller queues the message all the same. Fails with kBodyUnwritable when `target` cannot be
// written; what was written of it is then removed.
[[nodiscard]] data::Result<TemplateExpansion> TRANS_FILE(const std::filesystem::path& source,
                                                         const std::filesystem::path& target,
                                                         const SubstitutionList& pairs = {},
                                                         TemplateMode mode = TemplateMode::SubstituteOnly);

// The whole-text form of the substitution rule, pair after pair over the whole of `text`: the
// reference that TRANS_FILE's result equals. For tests and small texts; slow on large lists.
std::string apply_in_list_order(std::string text, const SubstitutionList& pairs);

}  // namespace notify
