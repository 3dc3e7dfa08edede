#include "ui/platform/qt/screenshots.h"

#include <cctype>
#include <cstdlib>
#include <system_error>

#include <QPixmap>
#include <QWidget>

namespace ui::platform {

namespace {

std::string file_safe(const std::string& name) {
  std::string safe;
  for (unsigned char c : name) safe += std::isalnum(c) ? static_cast<char>(c) : '_';
  return safe.empty() ? std::string("window") : safe;
}

}  // namespace

Screenshots::Screenshots() {
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"); folder && *folder) m_folder = folder;
}

int Screenshots::save(const std::vector<std::pair<std::string, QWidget*>>& shots) const {
  if (m_folder.empty()) return 0;
  std::error_code error;
  std::filesystem::create_directories(m_folder, error);
  if (error) return 0;
  int written = 0;
  for (const auto& [name, widget] : shots) {
    const std::filesystem::path file = m_folder / (file_safe(name) + ".png");
    if (widget && widget->grab().save(QString::fromStdString(file.string()))) ++written;
  }
  return written;
}

}  // namespace ui::platform
