#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "data/program_folder.h"
#include "data/result.h"

namespace notify {

// Makes sure MAIL/, MAIL/SEND/ and MAIL/RECEIVE/ exist in the program folder. MAIL/ is probed by
// creating the file YES in it (left in place, as every program of the suite does); the folders
// are created when that fails, and MAIL/SEND/ also when only it is missing. Failures are not
// reported here: writing the body file reports them.
void ensure_mail_folders(const data::ProgramFolder& folder);

// Hundredths of a second since midnight on the workstation's clock.
long hundredths_since_midnight();

// Claims a new generated file in `folder`: "T" + the last seven digits of the hundredths of the
// day + "." + `extension`, created empty so that no other program of the suite takes the same name
// meanwhile. A taken name is computed again from the clock until it is free (a clock that has not
// moved gives the next number). Returns the name without folder, or an Error naming the folder
// when it cannot hold new files.
[[nodiscard]] data::Result<std::string> claim_generated_file(const std::filesystem::path& folder,
                                                             std::string_view extension,
                                                             const std::function<long()>& hundredths_now);

}  // namespace notify
