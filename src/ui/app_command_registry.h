#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace ui {

class DialogHost;
class WDIAG;

// What runs a command's dialog: it builds the dialog on the application (the owner of every dialog),
// for example host.adopt(std::make_unique<MAILSERVER>(host)).
using DialogOpener = std::function<void(DialogHost& host)>;
// One operation of a dialog's "Editar" menu, run on the dialog the menu was built for.
using DialogMethod = std::function<void(WDIAG& dialog)>;
// Opens the access log of a command (a supervisor's right click on a menu item).
using AccessLogViewer = std::function<void(DialogHost& host, std::uint32_t command)>;

// The dialogs that the frame's commands open and the dialog operations that its "Editar" items call,
// by command number and by method name. The frame binds its menu items to these at every rebuild, so
// it never needs the dialog classes themselves: the units that own the dialogs register them at
// start-up. A command or method without an entry does nothing when chosen.
class CommandRegistry {
 public:
  // Replaces any opener already registered for `command`.
  void add(std::uint32_t command, DialogOpener opener) { m_openers[command] = std::move(opener); }
  // The opener of `command`; nullptr when none is registered. Valid until the next add().
  const DialogOpener* opener(std::uint32_t command) const;

  // Replaces any method already registered under `name` ("ADD_MAIL").
  void add_method(std::string_view name, DialogMethod method) { m_methods[std::string(name)] = std::move(method); }
  // Nullptr when none is registered. Valid until the next add_method().
  const DialogMethod* method(std::string_view name) const;

  void set_access_log_viewer(AccessLogViewer viewer) { m_access_log_viewer = std::move(viewer); }
  // Nullptr when none is registered.
  const AccessLogViewer* access_log_viewer() const { return m_access_log_viewer ? &m_access_log_viewer : nullptr; }

 private:
  std::map<std::uint32_t, DialogOpener> m_openers;
  std::map<std::string, DialogMethod, std::less<>> m_methods;
  AccessLogViewer m_access_log_viewer;
};

}  // namespace ui
