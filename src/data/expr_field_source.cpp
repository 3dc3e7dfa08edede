#include "data/expr_field_source.h"

#include "data/code_page.h"

namespace data {

ResultKind kind_of_field(char type) {
  switch (type) {
    case 'N':
    case 'F':
    case 'I':
    case 'B':
    case 'Y':
      return ResultKind::Number;
    case 'D':
    case 'T':
      return ResultKind::Date;
    case 'L':
      return ResultKind::Logical;
    default:
      return ResultKind::Text;
  }
}

void FieldSource::append_field_text(int index, std::string& out) const { out += field(index).text(); }

Date FieldSource::today() const { return Date{}; }

std::string FieldSource::stored_text(std::string_view text) const {
  return encode_text(CodePage::Windows1252, text);
}

void FieldSource::append_stored_text(std::string_view text, std::string& out) const {
  encode_text(CodePage::Windows1252, text, out);
}

}  // namespace data
