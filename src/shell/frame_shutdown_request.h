#pragma once

#include <cstddef>
#include <string_view>

namespace shell {

// The shutdown-request file "BLOQUEAD.!" in the program folder, written by the suite's administration
// program to make the running programs stop. Position 1 is the exemption switch; positions 2 to 20
// address the suite's modules, 14 being the mail server.
inline constexpr std::string_view kShutdownRequestFile = "BLOQUEAD.!";
inline constexpr std::size_t kShutdownRequestBytes = 50;
inline constexpr std::size_t kMailServerPosition = 14;

struct ShutdownRequest {
  bool cancels_exemptions = false;  // "1" in position 1: supervisors must stop too.
  bool stops_module = false;        // The module at the given position must stop.
};

// Reads the first 50 bytes of the file (fewer when it is shorter). When the digits of positions 2 to
// 50 add up to 0 every module must stop; otherwise only the modules whose position holds "1".
ShutdownRequest read_shutdown_request(std::string_view bytes, std::size_t module_position = kMailServerPosition);

}  // namespace shell
