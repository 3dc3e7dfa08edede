#include "shell/menu_set.h"

#include <cstdio>
#include <string>

#include "shell/frame_messages.h"
#include "shell/frame_principal.h"
#include "shell/menu_construction.h"
#include "startup/settings.h"

namespace shell {
namespace {

constexpr EditOperation kMailboxOperations[] = {
    {"Agregar", 4688, "ADD_MAIL"},
    {"Modificar", 4689, "MOD_MAIL"},
    {"Borrar", 4690, "DEL_MAIL"},
};

constexpr EditEntry kEditOperations[] = {
    {static_cast<int>(kMailboxesCommand), kMailboxOperations},
};

// An item of the rebuilt bar: its state comes from the rights gate.
MenuAppend item_for(const Principal& frame, std::uint32_t id, WMenuItem::Action action = {}) {
  MenuAppend item;
  item.id = id;
  item.action = std::move(action);
  item.is_checked = GET_CHECKS(frame, id);
  item.is_grayed = GET_RIGHTS(frame, id);
  return item;
}

// An item with the next automatic identifier.
WMenuItem* append_automatic(Principal& frame, std::string_view caption, WMenuItem::Action action = {}) {
  return _MENUAPPEND(caption, item_for(frame, next_automatic_id(), std::move(action)));
}

// The action of a command that opens a dialog registered for it.
WMenuItem::Action open_command(Principal& frame, std::uint32_t command) {
  return [&frame, command] {
    DO_ACTION(command, [&frame, command] {
      if (const ui::DialogOpener* opener = frame.services().commands.opener(command)) {
        (*opener)(frame);
      } else {
        std::fprintf(stderr, "command %u: no dialog is registered for it\n", command);
      }
    });
  };
}

// Ends the construction mark on every way out.
struct Constructing {
  Constructing() { startup::settings().XCONSTRUCTINGMENU = 1; }
  ~Constructing() { startup::settings().XCONSTRUCTINGMENU = 0; }
};

}  // namespace

std::span<const EditEntry> edit_operations() { return kEditOperations; }

bool GET_RIGHTS(const Principal& frame, std::uint32_t) {
  // FIXME: the per-user rights vector of modules with a login; the mail server has none.
  (void)frame;
  return false;
}

bool GET_CHECKS(const Principal& frame, std::uint32_t) {
  (void)frame;
  return false;
}

void DO_ACTION(std::uint32_t id, const std::function<void()>& action) {
  startup::settings().XID_MENU = data::Value(static_cast<int>(id));
  if (action) action();
}

bool ADD_M2(Principal& frame, int key, ui::WDIAG* dialog) {
  for (const EditEntry& entry : kEditOperations) {
    if (entry.key != key) continue;
    for (const EditOperation& operation : entry.items) {
      const std::uint32_t id = operation.id;
      const std::string method(operation.method);
      _MENUAPPEND(operation.caption, item_for(frame, id, [&frame, dialog, id, method] {
                    DO_ACTION(id, [&frame, dialog, method] {
                      const ui::DialogMethod* call = frame.services().commands.method(method);
                      if (call && dialog) (*call)(*dialog);
                    });
                  }));
    }
    return true;
  }
  return false;
}

void MENU_MODULO(Principal& frame) {
  _POPUPBEGIN("Controles");
  _MENUAPPEND("Servidor e-Mails", item_for(frame, kNotificationCenterCommand,
                                           open_command(frame, kNotificationCenterCommand)));
  _MENUAPPEND("Casilleros Programables", item_for(frame, kMailboxesCommand, open_command(frame, kMailboxesCommand)));
  _MENUAPPEND("Log Envío de emails", item_for(frame, kOutboxLogCommand, open_command(frame, kOutboxLogCommand)));
  _POPUPEND();
}

void MenuSet(Principal& frame, int key, ui::WDIAG* dialog, const data::Value& user, const data::Value& business,
             bool first) {
  (void)user;  // Rights of a user are loaded only in modules with a login.
  (void)first;
  const Constructing constructing;
  if (!business.is_empty()) {
    frame.No_Neg = false;
    frame.ACT_NEG = business;
  } else {
    frame.No_Neg = true;
  }
  std::unique_ptr<WMenu> bar = _MENUBEGIN(frame.windows(), frame.hwnd);
  // The suite's "&Archivo" popup belongs to modules with a login; the mail server has none.
  if (frame.Do_Login || frame.ID_MODULO == "MAILSERVER") {
    _POPUPBEGIN("Editar");
    if (!ADD_M2(frame, key, dialog)) append_automatic(frame, "No hay operaciones asociadas");
    _POPUPEND();
  }
  MENU_MODULO(frame);
  _POPUPBEGIN("Ventanas");
  for (std::string_view caption : {"Cascada", "Comparativo", "Acomodar Iconos", "Cerrar Todos"}) {
    append_automatic(frame, caption);
  }
  _POPUPEND();
  _POPUPBEGIN("Acerca de");
  append_automatic(frame, "Acerca &de");
  append_automatic(frame, "ADS Config.", [&frame] { frame.ADS_xINFO(); });
  _POPUPEND();
  _MENUEND(*bar);
  frame.MENU = std::move(bar);
}

}  // namespace shell
