#pragma once

#include <fstream>
#include <string_view>

namespace notify {

// The Center's optional trace file (fnTrace): the dispatch step and the reply poll mark how far they
// got ("8" before connecting, "9" connected, "9-1"/"9-2" around each send, "10"/"11" around the
// disconnect), so a site that hangs inside the mail engine can see where. The Center never opens one
// itself, so tracing is off unless a site's build turns it on.
using TraceFile = std::ofstream;

// Appends `label` and CR LF to `file` and flushes, so the last label survives a crash. Returns -1
// when there is no trace file, else 0.
int WRITE_TRACE(TraceFile* file, std::string_view label);

}  // namespace notify
