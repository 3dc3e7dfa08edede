#include "ui/platform/qt/qt_backend_factory.h"

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QStyleFactory>

#include "ui/platform/qt/qt_backend.h"

namespace ui::platform {

namespace {

bool is_set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

// Qt ends the process when its platform cannot reach the display, so a local display is
// probed first: an X display ":N" by its socket, a Wayland display by its socket in the
// runtime folder. Remote X displays ("host:N") are trusted.
bool is_reachable(std::string& error) {
  if (is_set("QT_QPA_PLATFORM")) return true;
  if (is_set("WAYLAND_DISPLAY") && is_set("XDG_RUNTIME_DIR")) {
    const std::filesystem::path socket =
        std::filesystem::path(std::getenv("XDG_RUNTIME_DIR")) / std::getenv("WAYLAND_DISPLAY");
    if (std::filesystem::exists(socket)) return true;
  }
  if (is_set("DISPLAY")) {
    const std::string_view display = std::getenv("DISPLAY");
    if (!display.starts_with(':')) return true;
    const std::string number(display.substr(1, display.find('.') == std::string_view::npos
                                                    ? std::string_view::npos
                                                    : display.find('.') - 1));
    if (std::filesystem::exists("/tmp/.X11-unix/X" + number)) return true;
    error = "cannot open display " + std::string(display);
    return false;
  }
  error = "cannot open the Wayland display " + std::string(std::getenv("WAYLAND_DISPLAY"));
  return false;
}

}  // namespace

bool display_available() { return is_set("DISPLAY") || is_set("WAYLAND_DISPLAY") || is_set("QT_QPA_PLATFORM"); }

std::unique_ptr<DisplayBackend> make_qt_backend(Clock& clock, int& argc, char** argv, std::string& error) {
  if (QApplication::instance()) return std::make_unique<QtBackend>(clock, nullptr);
  if (!display_available()) {
    error = "no display: neither DISPLAY, WAYLAND_DISPLAY nor QT_QPA_PLATFORM is set";
    return nullptr;
  }
  if (!is_reachable(error)) return nullptr;
  // Starting Qt unblocks signals the program may be waiting for on a descriptor (the
  // operator's SIGTERM); the mask the program set is put back.
  sigset_t mask;
  const bool has_mask = pthread_sigmask(SIG_SETMASK, nullptr, &mask) == 0;
  auto application = std::make_unique<QApplication>(argc, argv);
  if (has_mask) pthread_sigmask(SIG_SETMASK, &mask, nullptr);
  if (QGuiApplication::primaryScreen() == nullptr) {
    error = "the display has no screen";
    return nullptr;
  }
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  return std::make_unique<QtBackend>(clock, std::move(application));
}

}  // namespace ui::platform

namespace ui::platform {

bool wake_on_descriptor(DisplayBackend& backend, int descriptor, std::function<void()> on_ready) {
  auto* qt = dynamic_cast<QtBackend*>(&backend);
  if (!qt || descriptor < 0) return false;
  auto* notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, qt);  // Owned by the back end.
  QObject::connect(notifier, &QSocketNotifier::activated, qt, [on_ready = std::move(on_ready)] { on_ready(); });
  return true;
}

}  // namespace ui::platform
