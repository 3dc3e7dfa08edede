#include "data/private_profile.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "data/program_folder.h"
#include "data/text.h"

namespace data {
namespace {

namespace fs = std::filesystem;

// A settings file is a few kilobytes; a bigger one is not read whole into memory.
constexpr std::size_t kFileReadLimit = 16 * 1024 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view trim_blanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool same_name(std::string_view left, std::string_view right) {
  return left.size() == right.size() && UPPER(left) == UPPER(right);
}

// The name of a section header line ("[NAME]"), or nothing when the line is not a header.
std::optional<std::string_view> header_name(std::string_view line) {
  const std::string_view trimmed = trim_blanks(line);
  if (!trimmed.starts_with('[')) return std::nullopt;
  std::string_view name = trimmed.substr(1);
  const std::size_t close = name.find(']');
  if (close != std::string_view::npos) name = name.substr(0, close);
  return trim_blanks(name);
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// The key and value of a line inside a section; nothing for blank lines and comments. A line without
// "=" is a key with an empty value.
std::optional<KeyLine> key_line_of(std::string_view line) {
  const std::string_view trimmed = trim_blanks(line);
  if (trimmed.empty() || trimmed.starts_with(';')) return std::nullopt;
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return KeyLine{trimmed, {}};
  return KeyLine{trim_blanks(trimmed.substr(0, equals)), trim_blanks(trimmed.substr(equals + 1))};
}

std::string unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool has_line_break_or_nul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

Error invalid(std::string text) { return Error{-1, std::move(text)}; }

}  // namespace

PrivateProfile PrivateProfile::parse(std::string_view text) {
  PrivateProfile profile;
  if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
  const std::size_t first_end = text.find_first_of("\r\n");
  if (first_end != std::string_view::npos) {
    profile.m_line_end =
        text.substr(first_end).starts_with("\r\n") ? "\r\n" : std::string(1, text[first_end]);
  }
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      profile.m_lines.emplace_back(text.substr(start));
      break;
    }
    profile.m_lines.emplace_back(text.substr(start, end - start));
    start = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);
  }
  return profile;
}

std::optional<std::size_t> PrivateProfile::section_header(std::string_view section) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    const std::optional<std::string_view> name = header_name(m_lines[i]);
    if (name && !name->empty() && same_name(*name, section)) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> PrivateProfile::key_line(std::size_t header, std::string_view key) const {
  for (std::size_t i = header + 1; i < m_lines.size() && !header_name(m_lines[i]); ++i) {
    const std::optional<KeyLine> line = key_line_of(m_lines[i]);
    if (line && same_name(line->key, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> PrivateProfile::value(std::string_view section, std::string_view key) const {
  const std::optional<std::size_t> header = section_header(section);
  if (!header) return std::nullopt;
  const std::optional<std::size_t> line = key_line(*header, key);
  if (!line) return std::nullopt;
  return unquoted(key_line_of(m_lines[*line])->value);
}

Result<void> PrivateProfile::set_value(std::string_view section, std::string_view key,
                                       std::string_view value) {
  if (section.empty() || trim_blanks(section) != section || section.find(']') != std::string_view::npos ||
      has_line_break_or_nul(section)) {
    return invalid("the section name \"" + std::string(section) + "\" cannot be written to a settings file");
  }
  if (key.empty() || trim_blanks(key) != key || key.find('=') != std::string_view::npos ||
      key.starts_with('[') || key.starts_with(';') || has_line_break_or_nul(key)) {
    return invalid("the key name \"" + std::string(key) + "\" cannot be written to a settings file");
  }
  if (has_line_break_or_nul(value)) {
    return invalid("the value of " + std::string(key) +
                   " holds a line break, which a settings file cannot keep");
  }
  const std::optional<std::size_t> header = section_header(section);
  if (!header) {
    if (!m_lines.empty() && !trim_blanks(m_lines.back()).empty()) m_lines.emplace_back();
    m_lines.push_back("[" + std::string(section) + "]");
    m_lines.push_back(std::string(key) + "=" + std::string(value));
    return {};
  }
  if (const std::optional<std::size_t> line = key_line(*header, key)) {
    // The key keeps the spelling the file already has.
    m_lines[*line] = std::string(key_line_of(m_lines[*line])->key) + "=" + std::string(value);
    return {};
  }
  std::size_t insert_at = *header + 1;
  for (std::size_t i = *header + 1; i < m_lines.size() && !header_name(m_lines[i]); ++i) {
    if (!trim_blanks(m_lines[i]).empty()) insert_at = i + 1;  // After the section's last line, before blanks.
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insert_at),
                 std::string(key) + "=" + std::string(value));
  return {};
}

std::string PrivateProfile::text() const {
  std::string text;
  for (const std::string& line : m_lines) {
    text += line;
    text += m_line_end;
  }
  return text;
}

std::string read_profile_string(const fs::path& file, std::string_view section, std::string_view key,
                                std::string_view fallback) {
  const Result<std::string> bytes = read_file_start(file, kFileReadLimit);
  std::optional<std::string> value;
  if (bytes) value = PrivateProfile::parse(*bytes).value(section, key);
  return LEFT(value ? std::string_view(*value) : fallback, static_cast<long>(kProfileValueLimit));
}

Result<void> write_profile_string(const fs::path& file, std::string_view section, std::string_view key,
                                  std::string_view value) {
  std::error_code ec;
  const bool exists = fs::exists(file, ec);
  if (ec) return invalid("cannot reach " + file.string() + ": " + ec.message());
  PrivateProfile profile;
  if (exists) {
    const Result<std::string> bytes = read_file_start(file, kFileReadLimit + 1);
    if (!bytes) return bytes.error();
    if (bytes->size() > kFileReadLimit) return invalid(file.string() + " is too large for a settings file");
    profile = PrivateProfile::parse(*bytes);
  } else if (file.has_parent_path()) {
    fs::create_directories(file.parent_path(), ec);
    if (ec) return invalid("cannot create the folder " + file.parent_path().string() + ": " + ec.message());
  }
  if (Result<void> changed = profile.set_value(section, key, value); !changed) return changed;
  return replace_file_contents(file, profile.text());
}

fs::path suite_config_folder() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/') {
    return fs::path(config) / "quarvelt";
  }
  const char* home = std::getenv("HOME");
  if (!home || *home == '\0') {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry ? entry->pw_dir : "/";
  }
  return fs::path(home) / ".config" / "quarvelt";
}

fs::path profile_file_path(std::string_view file) {
  if (file.find_first_of("/\\") != std::string_view::npos) return fs::path(file);
  return find_case_insensitive(suite_config_folder(), file);
}

std::string GETPVPROFSTRING(std::string_view section, std::string_view key, std::string_view fallback,
                            std::string_view file) {
  return read_profile_string(profile_file_path(file), section, key, fallback);
}

bool WRITEPVPROFSTRING(std::string_view section, std::string_view key, std::string_view value,
                       std::string_view file) {
  return write_profile_string(profile_file_path(file), section, key, value).has_value();
}

long GETPVPROFINT(std::string_view section, std::string_view key, long fallback, std::string_view file) {
  const Result<std::string> bytes = read_file_start(profile_file_path(file), kFileReadLimit);
  const std::optional<std::string> value =
      bytes ? PrivateProfile::parse(*bytes).value(section, key) : std::nullopt;
  if (!value) return fallback;
  const std::string_view text = trim_blanks(*value);
  std::size_t i = 0;
  const bool is_negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) ++i;
  long number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (number > 100000000000L) break;  // Keeps an absurd value from overflowing.
    number = number * 10 + (text[i] - '0');
  }
  return is_negative ? -number : number;
}

}  // namespace data
