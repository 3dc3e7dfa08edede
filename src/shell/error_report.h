#pragma once

#include <string>
#include <string_view>

#include "data/date.h"

namespace shell {

// Where and when an error happened, for the report's header lines.
struct ReportStamp {
  std::string EXT_MODULO;  // Module code ("MLS").
  data::Date date;         // Workstation date and time.
  std::string time;
  std::string computer;
  std::string user;
};

// The stamp of an error: the module code, the workstation's date and time as given, and this
// computer's name and login name.
ReportStamp stamp_now(std::string_view EXT_MODULO, const data::Date& date, std::string_view time);

// The texts of one error report: what the window shows, what the ERROR row keeps and what the
// mail says. The lines end in CR LF because the suite's other programs read them from the memo
// and the mail on Windows.
struct ErrorReport {
  std::string line;     // The error line: field 501 and ERROR->DESCRIP.
  std::string header;   // Four stamp lines and the trimmed error line (errMessage).
  std::string details;  // header + CR LF + call trace: field 502 and ERROR->DETALLE.
  std::string body;     // header + CR LF CR LF + call trace: the mail to the administrator.
};

ErrorReport build_report(const ReportStamp& stamp, std::string_view error_line, std::string_view trace);

// "Error: " + the site's identification (XEMAIL_ID).
std::string error_subject(std::string_view XEMAIL_ID);

}  // namespace shell
