#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "data/value.h"

namespace ui {
class WDIAG;
}

namespace shell {

class Principal;

// One operation of a dialog's "Editar" popup: caption, command and the dialog method it runs.
struct EditOperation {
  std::string_view caption;
  std::uint32_t id = 0;
  std::string_view method;
};

// The "Editar" operations of one dialog menu key.
struct EditEntry {
  int key = 0;
  std::span<const EditOperation> items;
};

// The operations table, tried in order; the first entry of a key wins.
std::span<const EditEntry> edit_operations();

// Rebuilds the frame's menu bar: "Editar" with the operations of `key` for `dialog` (or the inert
// "No hay operaciones asociadas"), the module's "Controles", "Ventanas" and "Acerca de". The old bar
// is destroyed when the new one is attached; automatic identifiers keep counting up. A business
// makes it the frame's current business. Runs no handler of the program.
void MenuSet(Principal& frame, int key = 0, ui::WDIAG* dialog = nullptr, const data::Value& user = {},
             const data::Value& business = {}, bool first = false);

// Appends the "Editar" operations of `key` to the menu being built; false when the key has none.
bool ADD_M2(Principal& frame, int key, ui::WDIAG* dialog);
// Appends the module's popup "Controles".
void MENU_MODULO(Principal& frame);

// In a module without login no command is restricted and none starts checked.
bool GET_RIGHTS(const Principal& frame, std::uint32_t id);
bool GET_CHECKS(const Principal& frame, std::uint32_t id);

// Runs a command: XID_MENU := id (the dialog-opening log records it), then the action.
void DO_ACTION(std::uint32_t id, const std::function<void()>& action);

}  // namespace shell
