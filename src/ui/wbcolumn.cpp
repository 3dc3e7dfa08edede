#include "ui/wbcolumn.h"

#include <algorithm>

#include "data/date.h"
#include "data/number_format.h"

namespace ui {

namespace {

bool is_plain_text_picture(std::string_view picture) {
  return !picture.empty() && picture.find_first_not_of("X!") == std::string_view::npos;
}

// Character count of UTF-8 text: widths are in characters the operator sees.
std::size_t characters(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// `text` cut or blank-padded to `length` characters, upper case where the picture says "!".
std::string fit_text(std::string_view text, std::string_view picture) {
  std::string out;
  std::size_t shown = 0;
  for (std::size_t i = 0; i < text.size() && shown < picture.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0) length = 4;
    else if (lead >= 0xE0) length = 3;
    else if (lead >= 0xC0) length = 2;
    std::string character(text.substr(i, length));
    if (picture[shown] == '!' && length == 1) character[0] = static_cast<char>(std::toupper(lead));
    out += character;
    i += length;
    ++shown;
  }
  out.append(picture.size() - shown, ' ');
  return out;
}

}  // namespace

std::string WBCOLUMN::cell_text() const {
  const data::Value shown = value();
  switch (shown.kind()) {
    case data::Value::Kind::Text:
      if (PICTURE.empty()) return shown.text();
      if (is_plain_text_picture(PICTURE)) return fit_text(shown.text(), PICTURE);
      return data::TRANSFORM(shown, PICTURE);
    case data::Value::Kind::Number:
      if (PICTURE.empty() && field_width > 0) return data::STR(shown.number(), field_width, field_decimals);
      return data::TRANSFORM(shown, PICTURE);
    case data::Value::Kind::Date: return data::DTOC(shown.date());
    case data::Value::Kind::Logical: return shown.logical() ? "S" : "N";
    default: return {};
  }
}

int WBCOLUMN::width() const {
  std::size_t base = PICTURE.empty() ? static_cast<std::size_t>(std::max(field_width, 1)) : characters(PICTURE);
  base = std::max(base, characters(HEADING));
  return std::max(static_cast<int>(base) + H_ADJUST, 1);
}

}  // namespace ui
