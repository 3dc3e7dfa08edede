#pragma once

#include <filesystem>
#include <ostream>

#include "startup/command_line.h"

namespace shell {

// The program: builds the window system on the chosen display back end, installs the run-time error
// handler, runs the start-up sequence on `program_folder` and the message loop until the process is to
// end: the operator leaves, the forced-exit countdown runs out, or a SIGTERM or SIGINT arrives (the
// operator's confirmed exit: no question is asked). Every table is committed and closed on the way out.
// Returns the exit status: 0 after an orderly end, kExitFailure when the frame could not be built or a
// run-time error stopped the start-up. Status lines and message boxes go to `err`.
int MAIN(const std::filesystem::path& program_folder, startup::DisplayChoice display, std::ostream& err);

}  // namespace shell
