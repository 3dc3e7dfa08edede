#pragma once

#include <filesystem>
#include <string>
#include <vector>

class QWidget;

namespace ui::platform {

// Pictures of what a person would see, for reviewers and end-to-end tests: with the
// environment variable QV_SCREENSHOT_DIR set, the desktop saves the frame and every
// dialog there each time the screen changed and the program waits for input.
class Screenshots {
 public:
  // Reads QV_SCREENSHOT_DIR; without it, save() does nothing.
  Screenshots();
  bool is_on() const { return !m_folder.empty(); }
  // Saves each widget as <folder>/<name>.png (names made file-safe); answers how many
  // were written. A folder that cannot be made writes nothing.
  int save(const std::vector<std::pair<std::string, QWidget*>>& shots) const;
  const std::filesystem::path& folder() const { return m_folder; }

 private:
  std::filesystem::path m_folder;
};

}  // namespace ui::platform
