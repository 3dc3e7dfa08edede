#include "notify/mailserver_trace.h"

namespace notify {

int WRITE_TRACE(TraceFile* file, std::string_view label) {
  if (file == nullptr || !file->is_open()) return -1;
  *file << label << "\r\n";
  file->flush();
  return 0;
}

}  // namespace notify
