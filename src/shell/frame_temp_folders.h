#pragma once

#include <filesystem>
#include <string_view>

#include "startup/settings.h"

namespace shell {

// The per-user folder for the frame's work files: $HOMESHARE when set, else the user's application
// data folder (`app_data`), each with <program>/TEMP below it, made when missing. Empty `home_share`
// and `app_data` (or folders that cannot be made) give the system's temporary folder. The result ends
// with a separator.
std::filesystem::path user_temp_folder(const char* home_share, const std::filesystem::path& app_data,
                                       std::string_view program_name);

// The user's application data folder: $XDG_DATA_HOME, else ~/.local/share; empty when neither is known.
std::filesystem::path application_data_folder();

// Deletes what an earlier run left in `folder`: "_Dummy.bbb", and every "_???????.NTX" and
// "_???????.DBF" that no other process holds (the same byte-range lock the tables use would fail).
void delete_stale_work_files(const std::filesystem::path& folder);

// Cleans the local temporary folder (only when XTEMPPATH[1] is 1): in its TEMP sub-folder, every file
// with the module's extension together with its .CDX and .FPT, then every .CDX and .FPT left without
// a companion of the same name, then every .HOT with its .CDX and .FPT. Files in use are left.
void clean_temp_folder(const startup::TempPathSetting& temp_path, std::string_view module_extension);

}  // namespace shell
