#include "shell/frame_temp_folders.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "data/program_folder.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

std::string upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

// Whether a file can be had exclusively: nobody holds a byte-range lock on it.
bool is_free(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  const bool is_unlocked = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
  ::close(fd);
  return is_unlocked;
}

void remove_if_free(const fs::path& file) {
  std::error_code ec;
  if (fs::is_regular_file(file, ec) && is_free(file)) fs::remove(file, ec);
}

bool make_folder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec);
}

}  // namespace

fs::path application_data_folder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return xdg;
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "share";
  return {};
}

fs::path user_temp_folder(const char* home_share, const fs::path& app_data, std::string_view program_name) {
  const fs::path base = home_share && *home_share ? fs::path(home_share) : app_data;
  if (!base.empty()) {
    const fs::path folder = base / std::string(program_name) / "TEMP";
    if (make_folder(folder)) return folder / "";
  }
  std::error_code ec;
  const fs::path system = fs::temp_directory_path(ec);
  return (ec ? fs::path("/tmp") : system) / "";
}

void delete_stale_work_files(const fs::path& folder) {
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = upper(entry.path().filename().string());
    const bool is_dummy = name == "_DUMMY.BBB";
    const bool is_work_file =
        name.size() == 12 && name[0] == '_' && (name.ends_with(".NTX") || name.ends_with(".DBF"));
    if (is_dummy || is_work_file) remove_if_free(entry.path());
  }
}

void clean_temp_folder(const startup::TempPathSetting& temp_path, std::string_view module_extension) {
  if (temp_path.is_local != 1) return;
  const fs::path folder = data::find_case_insensitive(fs::path(temp_path.folder), "TEMP");
  // Files by upper-case stem, each with its upper-case extensions and actual paths.
  std::map<std::string, std::map<std::string, fs::path>> files;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const fs::path& path = entry.path();
    files[upper(path.stem().string())][upper(path.extension().string())] = path;
  }
  const std::string extension = "." + upper(module_extension);
  const auto remove_family = [&](const std::string& stem, const std::set<std::string>& extensions) {
    auto& family = files[stem];
    for (const std::string& ext : extensions) {
      if (const auto found = family.find(ext); found != family.end()) {
        remove_if_free(found->second);
        if (!fs::exists(found->second, ec)) family.erase(found);
      }
    }
  };
  for (auto& [stem, family] : files) {
    if (family.contains(extension)) remove_family(stem, {extension, ".CDX", ".FPT"});
  }
  for (auto& [stem, family] : files) {
    const bool has_companion = std::any_of(family.begin(), family.end(), [](const auto& item) {
      return item.first != ".CDX" && item.first != ".FPT";
    });
    if (!has_companion) remove_family(stem, {".CDX", ".FPT"});
  }
  for (auto& [stem, family] : files) {
    if (family.contains(".HOT")) remove_family(stem, {".HOT", ".CDX", ".FPT"});
  }
}

}  // namespace shell
