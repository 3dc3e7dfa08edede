#include "notify/trans_file.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <system_error>

#include "notify/trans_file_images.h"
#include "notify/trans_file_matcher.h"
#include "notify/trans_file_stages.h"
#include "transport/text_encoding.h"

namespace notify {

namespace {

constexpr std::size_t kChunkCharacters = 5000;

enum class Encoding { Utf8, Windows1252 };
enum class Outcome { Done, NotUtf8, Untrusted, ReadFailed, WriteFailed };

// How many bytes of `bytes` end on a character boundary: a UTF-8 sequence cut by the end of a
// read is left for the next read.
std::size_t complete_utf8_length(std::string_view bytes) {
  const std::size_t n = bytes.size();
  for (std::size_t back = 1; back <= std::min<std::size_t>(3, n); ++back) {
    const auto c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // A continuation byte: look further back.
    const std::size_t needed = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return needed > back ? n - back : n;
  }
  return n;
}

// One attempt at expanding the template with one reading and one substituter.
class Expansion {
 public:
  Expansion(const std::filesystem::path& source, const std::filesystem::path& target, std::size_t chunk,
            TemplateMode mode, Encoding encoding, ChunkSubstituter& substituter)
      : m_source(source), m_target(target), m_chunk(chunk), m_mode(mode), m_encoding(encoding),
        m_substituter(substituter) {}

  Outcome run() {
    std::ifstream in(m_source, std::ios::binary);
    if (!in) return Outcome::ReadFailed;
    std::ofstream out(m_target, std::ios::binary | std::ios::trunc);
    if (!out) return Outcome::WriteFailed;
    std::string read_buffer(m_chunk, '\0');
    std::string pending_bytes;  // The start of a UTF-8 character cut by the previous read.
    std::string text;           // Template text not yet expanded.
    std::string body;           // Expanded text not yet written.
    bool is_last = false;
    while (!is_last) {
      in.read(read_buffer.data(), static_cast<std::streamsize>(m_chunk));
      const auto got = static_cast<std::size_t>(in.gcount());
      if (in.bad()) return Outcome::ReadFailed;
      is_last = got < m_chunk;
      if (!append_text(std::string_view(read_buffer.data(), got), pending_bytes, text, is_last)) {
        return Outcome::NotUtf8;
      }
      // Like the reading itself, work starts once two chunks are held, and one chunk stays behind
      // so that a placeholder or an image reference cut by a read is whole when it is worked on.
      if (!is_last && text.size() + 3 < 2 * m_chunk) continue;  // 3: a cut character waits.
      if (m_mode == TemplateMode::EmbedImages) m_images.rewrite(text);
      const std::size_t limit = is_last ? text.size() : text.size() - m_chunk;
      const std::size_t used = m_substituter.expand(text, limit, is_last, body);
      text.erase(0, used);
      if (!m_substituter.accept(body, is_last)) return Outcome::Untrusted;
      if (!out.write(body.data(), static_cast<std::streamsize>(body.size()))) return Outcome::WriteFailed;
      body.clear();
    }
    out.close();
    return out ? Outcome::Done : Outcome::WriteFailed;
  }

  const ImageReferences& images() const { return m_images; }

 private:
  bool append_text(std::string_view bytes, std::string& pending, std::string& text, bool is_last) {
    if (m_encoding == Encoding::Windows1252) {
      text += transport::windows1252_to_utf8(bytes);
      return true;
    }
    pending.append(bytes);
    const std::size_t complete = is_last ? pending.size() : complete_utf8_length(pending);
    const std::string_view whole(pending.data(), complete);
    if (!transport::is_valid_utf8(whole)) return false;
    text.append(whole);
    pending.erase(0, complete);
    return true;
  }

  const std::filesystem::path& m_source;
  const std::filesystem::path& m_target;
  std::size_t m_chunk;
  TemplateMode m_mode;
  Encoding m_encoding;
  ChunkSubstituter& m_substituter;
  ImageReferences m_images;
};

}  // namespace

std::size_t template_chunk_size(const SubstitutionList& pairs) {
  std::size_t chunk = kChunkCharacters;
  for (const Substitution& pair : pairs) chunk = std::max(chunk, pair.placeholder.size());
  return chunk;
}

data::Result<TemplateExpansion> TRANS_FILE(const std::filesystem::path& source, const std::filesystem::path& target,
                                           const SubstitutionList& pairs, TemplateMode mode) {
  std::vector<std::string_view> placeholders;
  placeholders.reserve(pairs.size());
  for (const Substitution& pair : pairs) placeholders.push_back(pair.placeholder);
  const PlaceholderSet set(placeholders);
  const std::size_t chunk = template_chunk_size(pairs);

  Encoding encoding = Encoding::Utf8;
  bool single_pass = set.occurrences_never_overlap();
  while (true) {
    std::unique_ptr<ChunkSubstituter> substituter;
    if (single_pass) {
      substituter = std::make_unique<SinglePassSubstituter>(set, pairs);
    } else {
      substituter = std::make_unique<PairByPairSubstituter>(pairs);
    }
    Expansion expansion(source, target, chunk, mode, encoding, *substituter);
    switch (expansion.run()) {
      case Outcome::Done:
        return TemplateExpansion{mode == TemplateMode::EmbedImages ? expansion.images().list() : std::string(), {}};
      case Outcome::NotUtf8:
        encoding = Encoding::Windows1252;
        break;
      case Outcome::Untrusted:
        single_pass = false;
        break;
      case Outcome::ReadFailed: {
        std::ofstream empty(target, std::ios::binary | std::ios::trunc);
        if (!empty) return data::unexpected(kBodyUnwritable, "The message body file cannot be written: " + target.string());
        return TemplateExpansion{"", data::Error{kTemplateUnreadable, "The mail template cannot be read: " + source.string()}};
      }
      case Outcome::WriteFailed: {
        std::error_code ignored;
        std::filesystem::remove(target, ignored);
        return data::unexpected(kBodyUnwritable, "The message body file cannot be written: " + target.string());
      }
    }
  }
}

std::string apply_in_list_order(std::string text, const SubstitutionList& pairs) {
  for (const Substitution& pair : pairs) {
    if (pair.placeholder.empty()) continue;
    std::string next;
    std::size_t q = 0;
    while (true) {
      const std::size_t found = text.find(pair.placeholder, q);
      if (found == std::string::npos) break;
      next.append(text, q, found - q);
      next += pair.value;
      q = found + pair.placeholder.size();
    }
    next.append(text, q);
    text.swap(next);
  }
  return text;
}

}  // namespace notify
