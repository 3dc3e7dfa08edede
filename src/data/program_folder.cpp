#include "data/program_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "data/unique_fd.h"

namespace data {
namespace {

namespace fs = std::filesystem;

char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::vector<std::string_view> split_components(std::string_view relative) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= relative.size(); ++i) {
    if (i == relative.size() || relative[i] == '/' || relative[i] == '\\') {
      if (i > start) parts.push_back(relative.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// The entry of `folder` named `name` regardless of case; the smallest such name when several exist,
// so that the choice does not depend on directory order.
std::optional<std::string> matching_entry(const fs::path& folder, std::string_view name) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> best;
  for (const fs::directory_entry& entry : it) {
    std::string candidate = entry.path().filename().string();
    if (same_file_name(candidate, name) && (!best || candidate < *best)) best = std::move(candidate);
  }
  return best;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

Error file_error(std::string_view what, const fs::path& file, int error_number) {
  return Error{-1, std::string(what) + " " + file.string() + ": " + std::strerror(error_number)};
}

Result<void> rewrite_in_place(const fs::path& file, std::string_view bytes) {
  UniqueFd fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd) return file_error("cannot open", file, errno);
  if (!write_all(fd.get(), bytes)) return file_error("cannot write", file, errno);
  return {};
}

// Writes `bytes` to a new file beside `file` and renames it over `file`. The temporary name is unique
// to this process; a leftover of an earlier crash of the same process id is removed first.
Result<void> replace_by_rename(const fs::path& file, std::string_view bytes, Durability durability) {
  const bool synced = durability == Durability::Synced;
  const fs::path temporary =
      file.parent_path() / ("." + file.filename().string() + "." + std::to_string(::getpid()) + ".tmp");
  ::unlink(temporary.c_str());
  UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!fd) return file_error("cannot create", temporary, errno);
  struct stat old_state {};
  if (::stat(file.c_str(), &old_state) == 0) ::fchmod(fd.get(), old_state.st_mode & 07777);
  const bool written = write_all(fd.get(), bytes) && (!synced || ::fsync(fd.get()) == 0);
  const int write_errno = errno;
  fd.reset();
  if (!written) {
    ::unlink(temporary.c_str());
    return file_error("cannot write", temporary, write_errno);
  }
  if (::rename(temporary.c_str(), file.c_str()) != 0) {
    const int rename_errno = errno;
    ::unlink(temporary.c_str());
    return file_error("cannot replace", file, rename_errno);
  }
  if (!synced) return {};
  // The rename reaches the disk with the folder; a failure here loses at most this change.
  UniqueFd folder(::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder) ::fsync(folder.get());
  return {};
}

}  // namespace

ProgramFolder::ProgramFolder(fs::path root) : m_root(std::move(root)) {}

fs::path ProgramFolder::find(std::string_view relative) const {
  return find_case_insensitive(m_root, relative);
}

bool same_file_name(std::string_view left, std::string_view right) {
  if (left.size() != right.size()) return false;
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (ascii_upper(left[i]) != ascii_upper(right[i])) return false;
  }
  return true;
}

fs::path find_case_insensitive(const fs::path& base, std::string_view relative) {
  fs::path result = !relative.empty() && relative.front() == '/' ? fs::path("/") : base;
  bool is_searching = true;  // Below a component that does not exist there is nothing to match.
  for (std::string_view part : split_components(relative)) {
    if (!is_searching || part == "." || part == "..") {
      result /= part;
      continue;
    }
    std::error_code ec;
    fs::path exact = result / part;
    if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec) {
      result = std::move(exact);
      continue;
    }
    if (std::optional<std::string> entry = matching_entry(result, part)) {
      result /= *entry;
    } else {
      result = std::move(exact);
      is_searching = false;
    }
  }
  return result;
}

Result<void> replace_file_contents(const fs::path& file, std::string_view bytes, InPlaceFallback fallback,
                                   Durability durability) {
  Result<void> replaced = replace_by_rename(file, bytes, durability);
  if (replaced || fallback == InPlaceFallback::Refuse) return replaced;
  return rewrite_in_place(file, bytes);
}

Result<std::string> read_file_start(const fs::path& file, std::size_t limit) {
  UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return file_error("cannot open", file, errno);
  std::string bytes(limit, '\0');
  std::size_t filled = 0;
  while (filled < limit) {
    const ssize_t n = ::read(fd.get(), bytes.data() + filled, limit - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return file_error("cannot read", file, errno);
    if (n == 0) break;
    filled += static_cast<std::size_t>(n);
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace data
