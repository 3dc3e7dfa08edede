#pragma once

#include <string>

namespace ui::platform {

enum class Overwrite { Refuse, Allow };
enum class FileTimes { Now, KeepSource };

// Copies `source` to `target`, then sets the target's access and write times: the
// source's with FileTimes::KeepSource, else the current time. (Linux files have no
// creation time to set.) With Overwrite::Refuse an existing target is left untouched.
// Results: 0 done; -1 source times unreadable; -2 source cannot be opened; -3 target
// times not set; -4 target cannot be opened; -5 copy failed (also: target exists and
// overwriting is refused); -6 current time unavailable. A failed copy leaves no
// partial target behind when it created the target.
int COPYFILE(const std::string& source, const std::string& target, Overwrite overwrite = Overwrite::Refuse,
             FileTimes times = FileTimes::Now);

// 0 when the file was removed, -1 otherwise.
int REMOVEFILE(const std::string& name);

}  // namespace ui::platform
