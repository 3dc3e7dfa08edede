#pragma once

#include <filesystem>
#include <string_view>

#include "data/program_folder.h"

namespace startup {

// The suite's per-workstation settings file, shared by every program of the suite on this machine.
// The business code names it without a folder; data::profile_file_path places it in the suite's
// config folder.
inline constexpr std::string_view kSuiteIniName = "QUARVELT.INI";

// The program's own settings file (window placement, list layouts), named after the program in upper
// case with ".INI": QUARVELT-MAILSERVER.INI in the program folder, where the suite keeps its programs'
// files. An existing file of another case is found.
std::filesystem::path own_ini_file(const data::ProgramFolder& folder);

}  // namespace startup
