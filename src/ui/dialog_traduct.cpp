#include "ui/dialog_traduct.h"

#include "startup/settings.h"

namespace ui {

namespace {

// Upper case for ASCII and for the two-byte UTF-8 letters à..þ, which keep their length, so
// positions found in the folded text hold in the original.
std::string fold_case(std::string_view text) {
  std::string folded(text);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const auto c = static_cast<unsigned char>(folded[i]);
    if (c >= 'a' && c <= 'z') {
      folded[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xC3 && i + 1 < folded.size()) {
      const auto next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) folded[i + 1] = static_cast<char>(next - 0x20);
      ++i;
    }
  }
  return folded;
}

bool is_embedded(const data::Value& flag) {
  return flag.is_logical() ? flag.logical() : flag.number() == 1;
}

std::string replaced(std::string_view text, std::size_t at, std::size_t length, std::string_view by) {
  std::string out(text.substr(0, at));
  out += by;
  out += text.substr(at + length);
  return out;
}

}  // namespace

std::string CHECK_TRADUCT(std::string_view text, const data::ValueList& traduct) {
  const std::string folded = fold_case(text);
  for (const data::Value& entry : traduct) {
    const data::ValueList& fields = entry.list();
    if (fields.size() < 2) continue;
    const std::string& search = fields[0].text();
    if (search.empty()) continue;
    const std::string& replacement = fields[1].text();
    const bool embedded = fields.size() > 2 && is_embedded(fields[2]);
    const std::string wanted = fold_case(search);
    if (const std::size_t at = folded.find(wanted);
        at != std::string::npos && (embedded || search.size() == text.size())) {
      return replaced(text, at, search.size(), replacement);
    }
    if (embedded) continue;
    if (const std::size_t at = folded.find(wanted + " "); at != std::string::npos) {
      return replaced(text, at, search.size() + 1, replacement + " ");
    }
    if (const std::size_t at = folded.find(" " + wanted); at != std::string::npos) {
      return replaced(text, at, search.size() + 1, " " + replacement);
    }
  }
  return std::string(text);
}

data::Value CHECK_TRADUCT(const data::Value& text, const data::ValueList& traduct) {
  if (!text.is_text()) return text;
  return data::Value(CHECK_TRADUCT(std::string_view(text.text()), traduct));
}

data::Value CHECK_TRADUCT(const data::Value& text) { return CHECK_TRADUCT(text, startup::settings().XTRADUCT); }

}  // namespace ui
