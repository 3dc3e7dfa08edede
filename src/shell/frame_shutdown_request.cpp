#include "shell/frame_shutdown_request.h"

namespace shell {

ShutdownRequest read_shutdown_request(std::string_view bytes, std::size_t module_position) {
  bytes = bytes.substr(0, kShutdownRequestBytes);
  ShutdownRequest request;
  request.cancels_exemptions = !bytes.empty() && bytes[0] == '1';
  int sum = 0;
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    if (bytes[i] >= '0' && bytes[i] <= '9') sum += bytes[i] - '0';
  }
  const bool is_addressed = module_position >= 1 && module_position <= bytes.size() && bytes[module_position - 1] == '1';
  request.stops_module = sum == 0 || is_addressed;
  return request;
}

}  // namespace shell
