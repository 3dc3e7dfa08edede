#include "data/table_dump.h"

#include <cstdio>

#include "data/dbf_field_codec.h"
#include "data/dbf_table.h"

namespace data {
namespace {

std::string escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.remove_suffix(1);
  return s;
}

std::string number_text(double value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

}  // namespace

std::string dump_field(const DbfTable& table, int pos) {
  const DbfField& field = table.field(pos);
  const std::string_view raw = table.raw_field(pos);
  switch (field.type) {
    case 'C': {
      std::string text = table.text(pos);
      while (!text.empty() && text.back() == ' ') text.pop_back();
      return escaped(text);
    }
    case 'M': return escaped(table.get(pos).text());
    case 'N':
    case 'F':
    case 'L': return std::string(trimmed(raw));
    case 'D': {
      const Date date = table.date(pos);
      if (date.is_blank()) return "";
      const std::string s = DTOS(date);
      return s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2);
    }
    case 'I': return number_text(table.number(pos), 0);
    case 'B': return number_text(table.number(pos), field.decimals);
    case 'Y': return number_text(table.number(pos), 4);
    case 'T': return decode_datetime(raw);
    default: {
      const std::string bytes = table.get(pos).text();
      return "[" + std::to_string(bytes.size()) + " bytes]";
    }
  }
}

std::string dump_line(const DbfTable& table) {
  std::string line = std::to_string(table.rec_no());
  line += table.deleted() ? "\t*" : "\t-";
  for (int pos = 1; pos <= table.field_count(); ++pos) {
    line += '\t';
    line += dump_field(table, pos);
  }
  return line;
}

}  // namespace data
