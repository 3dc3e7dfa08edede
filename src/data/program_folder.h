#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "data/result.h"

namespace data {

// The folder the suite runs from (BASES/, HTML/, HBEAT/, MAIL/SEND/, ...). Every path is built from it
// at the moment of use. The suite's other programs run on Windows over the same share, where names are
// case-insensitive, so a name is matched against what exists regardless of case: "BASES/e_msgs.dbf"
// finds BASES/E_MSGS.DBF. Copyable; holds only the folder's path.
class ProgramFolder {
 public:
  explicit ProgramFolder(std::filesystem::path root);

  const std::filesystem::path& root() const { return m_root; }

  // The path of `relative` inside the folder (backslashes count as separators, as in names stored by
  // the suite's Windows programs). Each component takes the spelling of an existing entry that matches
  // it regardless of case, the exact spelling winning when several do. From the first component that
  // matches nothing, the given spelling is kept, so the result also names a file or folder to create.
  // An absolute `relative` is looked up from the file-system root instead.
  std::filesystem::path find(std::string_view relative) const;

 private:
  std::filesystem::path m_root;
};

// The same case-insensitive lookup as ProgramFolder::find, below any folder.
std::filesystem::path find_case_insensitive(const std::filesystem::path& base, std::string_view relative);

// Whether two file names are the same name on a Windows share (ASCII letters compared without case).
bool same_file_name(std::string_view left, std::string_view right);

// How replace_file_contents may proceed when it cannot swap in a new file.
enum class InPlaceFallback { Refuse, Allow };

// Whether replace_file_contents waits for the new bytes to reach the disk. A file rewritten every
// minute whose loss costs nothing (a heartbeat) need not wait: the swap stays all-or-nothing for
// readers either way, and only a power cut could take back the last rewrite.
enum class Durability { Synced, Lazy };

// Replaces the whole contents of `file` so that a reader sees the old bytes or the new ones, never a
// mixture: the bytes go to a temporary file in the same folder, reach the disk (unless Durability::Lazy),
// and the temporary file is renamed over `file`. Where the folder refuses the temporary file or the rename (a share that allows
// writing the file but not replacing it), InPlaceFallback::Allow truncates and rewrites `file` instead.
// Returns an Error naming the file when nothing could be written; `file` is then unchanged, or, after an
// in-place rewrite failed half-way, possibly truncated.
[[nodiscard]] Result<void> replace_file_contents(const std::filesystem::path& file, std::string_view bytes,
                                                 InPlaceFallback fallback = InPlaceFallback::Refuse,
                                                 Durability durability = Durability::Synced);

// Reads at most `limit` bytes from the start of `file`. An Error when the file cannot be opened or read.
[[nodiscard]] Result<std::string> read_file_start(const std::filesystem::path& file, std::size_t limit);

}  // namespace data
