#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace data {

// An unexpected failure that the business code does not handle itself: a table file
// that is missing, a field the table lacks, a control the dialog lacks, a broken
// invariant. It is caught only by the window system's dispatcher and by MAIN, which
// hand it to the installed error handler (log row, mail to the administrator, and the
// operator's choice of retry, ignore or end).
class RuntimeError : public std::runtime_error {
 public:
  // `operation` is what was being done ("USE", "FieldPut"), `subsystem` where
  // ("DBFCDX", "MAIL"), `detail` the object concerned (a path, a field name).
  RuntimeError(std::string operation, std::string subsystem, std::string detail)
      : std::runtime_error(operation + " (" + subsystem + "): " + detail),
        m_operation(std::move(operation)),
        m_subsystem(std::move(subsystem)),
        m_detail(std::move(detail)) {}

  const std::string& operation() const { return m_operation; }
  const std::string& subsystem() const { return m_subsystem; }
  const std::string& detail() const { return m_detail; }

 private:
  std::string m_operation;
  std::string m_subsystem;
  std::string m_detail;
};

}  // namespace data
