#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace ui {
class WDIAG;
}

namespace shell {

class LR_APP;

// What runs a command's dialog: it builds the dialog on the frame (the owner of every dialog).
using DialogOpener = std::function<void(LR_APP& frame)>;
// One operation of a dialog's "Editar" menu, run on the dialog the menu was built for.
using DialogMethod = std::function<void(ui::WDIAG& dialog)>;
// Opens the access log of a command (a supervisor's right click on a menu item).
using AccessLogViewer = std::function<void(LR_APP& frame, std::uint32_t command)>;

// The dialogs that commands open and the dialog operations that "Editar" items call, by command
// number and by method name. The menu binds items to these at every rebuild, so the frame never
// needs the dialog classes themselves; the notification server registers its own at start-up.
// A command or method without an entry does nothing when chosen.
class CommandRegistry {
 public:
  // Replaces any opener already registered for `command`.
  void add(std::uint32_t command, DialogOpener opener) { m_openers[command] = std::move(opener); }
  // The opener of `command`; nullptr when none is registered. Valid until the next add().
  const DialogOpener* opener(std::uint32_t command) const;

  void add_method(std::string_view name, DialogMethod method) { m_methods[std::string(name)] = std::move(method); }
  const DialogMethod* method(std::string_view name) const;

  void set_access_log_viewer(AccessLogViewer viewer) { m_access_log_viewer = std::move(viewer); }
  // Null when none is registered.
  const AccessLogViewer* access_log_viewer() const { return m_access_log_viewer ? &m_access_log_viewer : nullptr; }

 private:
  std::map<std::uint32_t, DialogOpener> m_openers;
  std::map<std::string, DialogMethod, std::less<>> m_methods;
  AccessLogViewer m_access_log_viewer;
};

}  // namespace shell
