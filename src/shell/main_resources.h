#pragma once

#include <filesystem>
#include <ostream>

#include "ui/platform/window_system.h"

namespace shell {

// The program's resource scripts (dialogs and strings): $QV_RESOURCE_DIR when set, else the first
// resources/ folder holding frame.rc beside the executable or in a folder above it. Empty when none.
std::filesystem::path default_resource_folder();

// Reads every *.rc of `folder` into the window system, in name order. A script that cannot be read is
// reported on `err` with its file and line and left out; the others are still read. Returns how many
// scripts were read.
int load_resources(ui::platform::WindowSystem& windows, const std::filesystem::path& folder, std::ostream& err);

}  // namespace shell
