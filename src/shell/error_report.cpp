#include "shell/error_report.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "data/text.h"

namespace shell {
namespace {

std::string login_name() {
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) return entry->pw_name;
  if (const char* user = std::getenv("USER")) return user;
  return "";
}

std::string computer_name() {
  std::array<char, 256> name{};
  if (::gethostname(name.data(), name.size() - 1) != 0) return "";
  return name.data();
}

}  // namespace

ReportStamp stamp_now(std::string_view EXT_MODULO, const data::Date& date, std::string_view time) {
  return ReportStamp{std::string(EXT_MODULO), date, std::string(time), computer_name(), login_name()};
}

ErrorReport build_report(const ReportStamp& stamp, std::string_view error_line, std::string_view trace) {
  ErrorReport report;
  report.line = std::string(error_line);
  report.header = "Módulo  : " + stamp.EXT_MODULO + "\r\n" + "Fecha/H.: " + data::DTOC(stamp.date) + " " +
                  stamp.time + "\r\n" + "Computer: " + stamp.computer + "\r\n" + "V32 WinUser : " + stamp.user +
                  "\r\n" + data::ALLTRIM(error_line);
  report.details = report.header + "\r\n" + std::string(trace);
  report.body = report.header + "\r\n\r\n" + std::string(trace);
  return report;
}

std::string error_subject(std::string_view XEMAIL_ID) { return "Error: " + std::string(XEMAIL_ID); }

}  // namespace shell
