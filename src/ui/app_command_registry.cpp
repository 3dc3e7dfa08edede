#include "ui/app_command_registry.h"

namespace ui {

const DialogOpener* CommandRegistry::opener(std::uint32_t command) const {
  const auto found = m_openers.find(command);
  return found == m_openers.end() ? nullptr : &found->second;
}

const DialogMethod* CommandRegistry::method(std::string_view name) const {
  const auto found = m_methods.find(name);
  return found == m_methods.end() ? nullptr : &found->second;
}

}  // namespace ui
