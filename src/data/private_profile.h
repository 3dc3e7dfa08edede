#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/result.h"

namespace data {

// The text of a private-profile (INI) file: "[SECTION]" lines, each followed by "KEY=value" lines.
// Section and key names match regardless of case; names and values are read without surrounding
// blanks, and a value wrapped in one pair of matching quotes is read without them. Lines before the
// first section, lines beginning with ";" and section headers without a name are ignored. Where a
// section appears twice only the first one counts, for reading and for writing, as the suite's
// Windows programs read these files. CR LF, LF and CR line ends are all read; a rewrite keeps the
// file's own line end (CR LF for a new file) and every line it does not change.
class PrivateProfile {
 public:
  PrivateProfile() = default;
  static PrivateProfile parse(std::string_view text);

  // The value of `key` in `section`, whole; empty when the section or the key is missing.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  // Sets `key` in `section` to `value`, replacing the key's line, or adding the key at the end of the
  // section, or adding the section at the end of the text. An Error, and no change, when a name is
  // empty or would read back differently (blanks around it, "]" in a section, "=" in a key, a key
  // beginning with "[" or ";") or when any text holds a line break or a NUL.
  [[nodiscard]] Result<void> set_value(std::string_view section, std::string_view key,
                                       std::string_view value);

  // The whole text, every line ended.
  std::string text() const;

 private:
  std::optional<std::size_t> section_header(std::string_view section) const;
  std::optional<std::size_t> key_line(std::size_t header, std::string_view key) const;

  std::vector<std::string> m_lines;
  std::string m_line_end = "\r\n";
};

// Values are read as into the suite's 1024-byte buffer: at most this many characters.
inline constexpr std::size_t kProfileValueLimit = 1023;

// The value of `key` in `section` of `file`, cut to kProfileValueLimit characters; `fallback` when the
// file, the section or the key is missing or the file cannot be read.
std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view fallback);

// Writes `key` = `value` into `section` of `file`, creating the file and its folder when missing. The
// file is replaced whole through a temporary file in the same folder, so a crash leaves the old file or
// the new one, never a half-written one. Values are written in full, however long. An Error, and the
// file unchanged, when the names or the value cannot be written (see PrivateProfile::set_value), or the
// file or folder cannot be read or written.
[[nodiscard]] Result<void> write_profile_string(const std::filesystem::path& file, std::string_view section,
                                                std::string_view key, std::string_view value);

// The folder of the suite's per-workstation settings files: $XDG_CONFIG_HOME/quarvelt, else
// $HOME/.config/quarvelt, else the login's home folder's .config/quarvelt.
std::filesystem::path suite_config_folder();

// Where a settings file named by the business code lives: a bare file name ("QUARVELT.INI") in the
// suite's config folder, matched there regardless of case; a name with a folder as given.
std::filesystem::path profile_file_path(std::string_view file);

// The business code's private-profile calls. `file` is resolved by profile_file_path.
// GETPVPROFSTRING gives at most 1,023 characters, `fallback` when missing.
std::string GETPVPROFSTRING(std::string_view section, std::string_view key, std::string_view fallback,
                            std::string_view file);
// True when the value was written.
bool WRITEPVPROFSTRING(std::string_view section, std::string_view key, std::string_view value,
                       std::string_view file);
// The whole number the value begins with (after blanks, with an optional sign); 0 for a value that
// does not begin with one; `fallback` when the key is missing.
long GETPVPROFINT(std::string_view section, std::string_view key, long fallback, std::string_view file);

}  // namespace data
