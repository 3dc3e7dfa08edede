#include "startup/config_files.h"

#include <string>

#include "data/text.h"
#include "startup/command_line.h"

namespace startup {

std::filesystem::path own_ini_file(const data::ProgramFolder& folder) {
  return folder.find(data::UPPER(kProgramName) + ".INI");
}

}  // namespace startup
