#include "shell/error_object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <typeinfo>

#include "data/runtime_error.h"

namespace shell {
namespace {

// "std::out_of_range" rather than "St12out_of_range": the operator and the support desk read it.
std::string type_name(const std::type_info& type) {
  int status = 0;
  const std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

}  // namespace

ErrorObject error_object(const std::exception& error) {
  ErrorObject object;
  if (const auto* runtime = dynamic_cast<const data::RuntimeError*>(&error)) {
    object.subsystem = runtime->subsystem();
    object.description = runtime->detail();
    object.operation = runtime->operation();
  } else if (const auto* file = dynamic_cast<const std::filesystem::filesystem_error*>(&error)) {
    object.subsystem = "FILE";
    object.os_code = file->code().value();
    object.description = file->code().message();
    object.file_name = file->path1().string();
    object.operation = type_name(typeid(error));
  } else {
    object.subsystem = "C++";
    object.description = error.what();
    object.operation = type_name(typeid(error));
  }
  return object;
}

std::string error_line(const ErrorObject& error) {
  std::string line = error.severity > 1 ? "Error " : "Warning ";
  line += error.subsystem.empty() ? "???" : error.subsystem;
  line += error.sub_code ? "/" + std::to_string(*error.sub_code) : "/???";
  if (!error.description.empty()) line += "  " + error.description;
  if (!error.file_name.empty()) {
    line += ": " + error.file_name;
  } else if (!error.operation.empty()) {
    line += ": " + error.operation;
  }
  return line;
}

}  // namespace shell
