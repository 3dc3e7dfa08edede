#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "data/result.h"
#include "ui/platform/dialog_template.h"

namespace ui::platform {

// The dialogs and strings of the program, read from Windows-style resource scripts
// (resources/*.rc): the DIALOGEX (and DIALOG) and STRINGTABLE statements, #define'd
// identifiers, #include of further scripts or headers, and comments. Other resource
// statements (ICON, BITMAP, MENU, VERSIONINFO, …) are skipped. Scripts are UTF-8.
class ResourceScript {
 public:
  // Reads a script. A syntax error gives an Error whose text names the file and line
  // ("main.rc:12: expected a number after DIALOGEX"); nothing is kept from that script.
  [[nodiscard]] static data::Result<ResourceScript> load(const std::filesystem::path& file);
  // Reads script text; `file_name` appears in error texts and anchors #include.
  [[nodiscard]] static data::Result<ResourceScript> parse(std::string_view text, std::string_view file_name);

  // The dialog named (case-insensitively) or numbered so; nullptr when there is none.
  // The pointer stays valid until the script is changed or destroyed.
  const DialogTemplate* dialog(std::string_view name) const;
  // The string of that number; nullptr when the table has none.
  const std::string* string(int number) const;
  // Adds every dialog and string of `other`; those of `other` win on a clash.
  void merge(const ResourceScript& other);

  const std::map<std::string, DialogTemplate>& dialogs() const { return m_dialogs; }
  const std::map<int, std::string>& strings() const { return m_strings; }

 private:
  friend class ResourceScriptParser;
  std::map<std::string, DialogTemplate> m_dialogs;  // Keyed by upper-case name.
  std::map<int, std::string> m_strings;
};

}  // namespace ui::platform
