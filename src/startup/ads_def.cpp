#include "startup/ads_def.h"

#include <algorithm>

#include "data/number_format.h"
#include "data/program_folder.h"
#include "data/text.h"
#include "startup/settings.h"

namespace startup {
namespace {

// The file is expected to be a few hundred bytes. Reading more than the historical 1000 keeps a long
// server path from pushing lines 21 to 23 out of reach; the cap keeps a wrong file from being read
// whole.
constexpr std::size_t kReadLimit = 64 * 1024;
constexpr double kLargestCache = 1e9;

std::vector<std::string> split_at(std::string_view text, char separator) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, start)) {
    lines.emplace_back(text.substr(start, at - start));
    start = at + 1;
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

// Whether a switch line asks for off: it begins with the false literal.
bool is_false_literal(std::string_view line) { return data::UPPER(data::LTRIM(line)).starts_with(".F."); }

}  // namespace

std::vector<std::string> GET_A_ADS(const std::filesystem::path& file) {
  const data::Result<std::string> bytes = data::read_file_start(file, kReadLimit);
  if (!bytes || bytes->empty()) return {};
  if (bytes->find('\r') == std::string::npos) return split_at(*bytes, '\n');
  std::string text = *bytes;
  std::erase(text, '\n');
  return split_at(text, '\r');
}

void SET_ADS_PARAMS(const std::vector<std::string>& lines) {
  Settings& s = settings();
  for (std::size_t number = 21; number <= std::min<std::size_t>(lines.size(), 23); ++number) {
    const std::string& line = lines[number - 1];
    if (data::ALLTRIM(line).empty()) continue;
    switch (number) {
      case 21:
        s.ads_client.is_rights_checking = !is_false_literal(line);
        break;
      case 22:
        s.XADSCACHERECORDS = static_cast<long>(std::clamp(data::VAL(line), 0.0, kLargestCache));
        break;
      case 23:
        s.ads_client.is_proprietary_locking = !is_false_literal(line);
        break;
    }
  }
}

}  // namespace startup
