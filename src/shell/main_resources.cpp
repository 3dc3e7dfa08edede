#include "shell/main_resources.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "ui/platform/resource_script.h"

namespace shell {

namespace fs = std::filesystem;

fs::path default_resource_folder() {
  if (const char* env = std::getenv("QV_RESOURCE_DIR"); env && *env) return env;
  std::error_code ec;
  fs::path dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
  for (; !ec && !dir.empty(); dir = dir.parent_path()) {
    const fs::path candidate = dir / "resources";
    if (fs::exists(candidate / "frame.rc", ec)) return candidate;
    if (dir == dir.root_path()) break;
  }
  return {};
}

int load_resources(ui::platform::WindowSystem& windows, const fs::path& folder, std::ostream& err) {
  std::vector<fs::path> scripts;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (entry.is_regular_file(ec) && entry.path().extension() == ".rc") scripts.push_back(entry.path());
  }
  std::sort(scripts.begin(), scripts.end());
  int loaded = 0;
  for (const fs::path& script : scripts) {
    data::Result<ui::platform::ResourceScript> resources = ui::platform::ResourceScript::load(script);
    if (!resources) {
      err << resources.error().text << '\n';
      continue;
    }
    windows.add_resources(*resources);
    ++loaded;
  }
  return loaded;
}

}  // namespace shell
