#pragma once

#include <string>

#include "data/message_box_sink.h"
#include "data/wdbtable.h"
#include "data/wtable_session.h"
#include "startup/settings.h"

namespace startup {

// How the local temporary folder is tried: a probe file named YES written into it, or the folder
// made. Tests replace the disk with their own answers.
class TempFolderProbe {
 public:
  virtual ~TempFolderProbe() = default;
  virtual bool create_probe_file(const std::string& folder) = 0;  // Writes `folder`/YES.
  virtual bool create_folder(const std::string& folder) = 0;      // One level, like a mkdir.
};

// The real disk.
class DiskTempFolderProbe final : public TempFolderProbe {
 public:
  bool create_probe_file(const std::string& folder) override;
  bool create_folder(const std::string& folder) override;
};

// Finds a usable local folder for temporary files, starting from `folder` (F_SYS->LOCAL_PATH). The
// folder's drive (on this system the first component of the path, so "/E/QTEMP" is on drive E) is
// moved on A→B→…→I and I→C when a round fails; other letters stay. At most 10 rounds; a usable
// folder gets its TEMP sub-folder. Returns {1, folder} on success; {0, folder} after 10 failed
// rounds, or after telling the operator when the path has no drive letter at all.
TempPathSetting choose_local_temp_folder(const std::string& folder, TempFolderProbe& probe,
                                         data::MessageBoxSink& messages);

// The next drive tried after `letter` fails.
char next_drive_letter(char letter);

// Applies the first row of F_SYS to the settings: fonts, socket, pump rate, switches, the local
// temporary folder and the default grid colours for a display of `display_colours` colours (-1 for
// true colour). Optional fields that the table lacks keep their defaults; an empty table changes
// nothing.
void apply_f_sys(Settings& settings, data::WDBTable& f_sys, int display_colours, TempFolderProbe& probe,
                 data::MessageBoxSink& messages);

// Replaces XAVAILABLE_FONTS with the trimmed T_FONT of every row of FONTS, in table order.
void load_fonts(Settings& settings, data::WDBTable& fonts);

// What the main frame does while it is created: F_SYS, then FONTS (order FONTS), both opened
// through USE on `session`. Throws RuntimeError when either table is missing.
void load_system_tables(Settings& settings, data::TableSession& session, int display_colours);

// Copies what USE reads (program folder, sub-base, local temporary folder, module code, driver) from
// the settings into the session; called after each change of those settings.
void sync_table_settings(const Settings& settings, data::TableSession& session);

}  // namespace startup
