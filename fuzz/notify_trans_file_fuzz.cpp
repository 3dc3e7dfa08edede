// Template expansion against the whole-text rule: arbitrary templates (any bytes, repeated so
// they span several chunks) and substitution lists (placeholders that overlap, prefix each other
// or hide in values) must give exactly the pair-after-pair result, in both template modes' text.
// Input: a repeat count byte, then pieces split at 0x01: the template, then placeholder and value
// alternately (at most eight pairs).

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "notify/trans_file.h"
#include "transport/text_encoding.h"

namespace {

const std::filesystem::path& folder() {
  static const std::filesystem::path path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "qv_trans_file_fuzz_XXXXXX").string();
    if (!mkdtemp(pattern.data())) __builtin_trap();
    return std::filesystem::path(pattern);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int repeats = 1 + data[0] % 8;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> pieces;
  while (true) {
    const std::size_t cut = input.find('\x01');
    pieces.emplace_back(input.substr(0, cut));
    if (cut == std::string_view::npos) break;
    input.remove_prefix(cut + 1);
  }
  std::string text;
  for (int i = 0; i < repeats; ++i) text += pieces[0];
  notify::SubstitutionList pairs;
  for (std::size_t i = 1; i + 1 < pieces.size() && pairs.size() < 8; i += 2) {
    // Values as the program holds them: UTF-8.
    pairs.push_back({transport::as_utf8(pieces[i]), transport::as_utf8(pieces[i + 1])});
  }
  // Placeholders are matched in the body's UTF-8; the template too is read as UTF-8 text.
  const std::filesystem::path source = folder() / "PLANTILLA.HTM";
  const std::filesystem::path target = folder() / "T0000001.HTM";
  std::ofstream(source, std::ios::binary | std::ios::trunc) << text;
  auto result = notify::TRANS_FILE(source, target, pairs);
  if (!result || result->template_error) __builtin_trap();
  std::ifstream in(target, std::ios::binary);
  std::ostringstream body;
  body << in.rdbuf();
  if (body.str() != notify::apply_in_list_order(transport::as_utf8(text), pairs)) __builtin_trap();
  return 0;
}
