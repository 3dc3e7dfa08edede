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
    std::string text;  // Template text not yet expanded: at most two chunks and a cut character.
    std::size_t cut_character = 0;  // Bytes at the end of `text` that wait for the rest of their character.
    std::string bytes;              // One read, when the template is read as Windows-1252.
    bool is_last = false;
    while (!is_last) {
      const bool read = m_encoding == Encoding::Utf8 ? read_utf8(in, text, cut_character, is_last)
                                                     : read_windows1252(in, bytes, text, is_last);
      if (in.bad()) return Outcome::ReadFailed;
      if (!read) return Outcome::NotUtf8;
      // Like the reading itself, work starts once two chunks are held, and one chunk stays behind
      // so that a placeholder or an image reference cut by a read is whole when it is worked on.
      if (!is_last && text.size() + 3 < 2 * m_chunk) continue;
      if (m_mode == TemplateMode::EmbedImages) m_images.rewrite(text);
      const std::size_t limit = is_last ? text.size() : text.size() - m_chunk;
      const std::size_t used = m_substituter.expand(text, limit, is_last, out);
      if (used == ChunkSubstituter::kUntrusted) return Outcome::Untrusted;
      if (!out) return Outcome::WriteFailed;
      text.erase(0, used);
    }
    out.close();
    return out ? Outcome::Done : Outcome::WriteFailed;
  }

  const ImageReferences& images() const { return m_images; }

 private:
  // Reads one chunk onto the end of `text`. False when the bytes are not UTF-8; a character cut by
  // the end of the read is checked with the next one.
  bool read_utf8(std::ifstream& in, std::string& text, std::size_t& cut_character, bool& is_last) {
    const std::size_t old = text.size();
    text.resize(old + m_chunk);
    in.read(text.data() + old, static_cast<std::streamsize>(m_chunk));
    const auto got = static_cast<std::size_t>(in.gcount());
    text.resize(old + got);
    is_last = got < m_chunk;
    const std::string_view fresh = std::string_view(text).substr(old - cut_character);
    const std::size_t complete = is_last ? fresh.size() : complete_utf8_length(fresh);
    cut_character = fresh.size() - complete;
    return transport::is_valid_utf8(fresh.substr(0, complete));
  }

  bool read_windows1252(std::ifstream& in, std::string& bytes, std::string& text, bool& is_last) {
    bytes.resize(m_chunk);
    in.read(bytes.data(), static_cast<std::streamsize>(m_chunk));
    const auto got = static_cast<std::size_t>(in.gcount());
    is_last = got < m_chunk;
    text += transport::windows1252_to_utf8(std::string_view(bytes).substr(0, got));
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
