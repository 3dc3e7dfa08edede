#include "ui/platform/param_string.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "ui/platform/window_system.h"

namespace ui::platform {

namespace {

std::string number_text(double number) {
  char buffer[64];
  if (std::floor(number) == number && std::fabs(number) < 1e18) {
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(number));
  } else {
    std::snprintf(buffer, sizeof buffer, "%g", number);
  }
  return buffer;
}

}  // namespace

std::string format_with_argument(std::string_view format, const data::Value& argument) {
  std::string result;
  bool is_argument_used = false;
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] != '%') {
      result += format[i++];
      continue;
    }
    std::size_t end = i + 1;
    while (end < format.size() && std::strchr("-+ #0123456789.", format[end])) ++end;
    while (end < format.size() && std::strchr("hlLqjzt", format[end])) ++end;  // Length: always ours.
    if (end >= format.size()) {
      result.append(format.substr(i));
      break;
    }
    const char conversion = format[end];
    std::string directive(format.substr(i, end - i));
    directive.erase(directive.find_last_not_of("hlLqjzt") + 1);
    i = end + 1;
    if (conversion == '%') {
      result += '%';
      continue;
    }
    if (is_argument_used || !std::strchr("sdiuxXocefgEG", conversion)) continue;
    is_argument_used = true;
    char buffer[512];
    if (conversion == 's') {
      const std::string text = argument.is_number() ? number_text(argument.number()) : argument.text();
      std::snprintf(buffer, sizeof buffer, (directive + "s").c_str(), text.c_str());
    } else if (std::strchr("efgEG", conversion)) {
      std::snprintf(buffer, sizeof buffer, (directive + conversion).c_str(), argument.number());
    } else if (conversion == 'c') {
      std::snprintf(buffer, sizeof buffer, (directive + 'c').c_str(), static_cast<int>(argument.number()));
    } else {
      const long long number = static_cast<long long>(argument.number());
      std::snprintf(buffer, sizeof buffer, (directive + "ll" + conversion).c_str(), number);
    }
    result += buffer;
  }
  return result;
}

std::string WindowSystem::LOADPARAMSTRING(int number, const data::Value& argument) const {
  const std::string* text = m_resources.string(number);
  if (!text) return format_with_argument("String at ID %i could not be found!", data::Value(number));
  return format_with_argument(text->substr(0, 1023), argument);
}

}  // namespace ui::platform
