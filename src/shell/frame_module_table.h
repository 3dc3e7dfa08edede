#pragma once

#include <string_view>

namespace shell {

// One program of the suite as the frame knows it: its window caption, the extension of its private
// table copies (EXT_MODULO, also the MODULO column of the dialog log) and whether it logs a user in.
struct ModuleRow {
  std::string_view id;
  std::string_view caption;
  std::string_view extension;
  bool does_login = true;
};

// The modules this frame can be built for. The mail server runs unattended: no login.
inline constexpr ModuleRow kModules[] = {
    {"MAILSERVER", "MailServer Quarvelt", "MLS", false},
};

// The row of `id`; nullptr for a module this program does not know.
constexpr const ModuleRow* find_module(std::string_view id) {
  for (const ModuleRow& row : kModules) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// This program's module.
inline constexpr std::string_view kMailServerModule = "MAILSERVER";

}  // namespace shell
