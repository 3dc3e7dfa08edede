#include "startup/settings.h"

namespace startup {

Settings& settings() {
  // The process's one mutable global: the user-interface thread reads and writes it.
  static Settings instance;
  return instance;
}

void reset_settings() { settings() = Settings{}; }

}  // namespace startup
