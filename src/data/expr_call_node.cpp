#include "data/expr_call_node.h"

#include <algorithm>
#include <cmath>

#include "data/number_format.h"
#include "data/text.h"

namespace data {
namespace {

using Fn = ExprFunction;

// DESCEND of a date is this number minus its day number, so later dates sort first.
constexpr std::int32_t kDescendDateBase = 5231808;

// DATE(), DELETED() and RECNO() change without their arguments changing.
bool is_pure(Fn id) { return id != Fn::Today && id != Fn::Deleted && id != Fn::Recno; }

void invert_bytes(std::string& bytes) {
  for (char& byte : bytes) byte = static_cast<char>(256 - static_cast<unsigned char>(byte));
}

// DTOS without building a string: it runs for every row of every date key.
void append_dtos(const Date& date, std::string& out) {
  if (date.is_blank()) {
    out.append(8, ' ');
    return;
  }
  // Fliegel and Van Flandern's calendar date of a day number, computed once for all three
  // parts (Date's year(), month() and day() each compute it).
  std::int64_t l = date.julian() + 68569;
  const std::int64_t n = 4 * l / 146097;
  l = l - (146097 * n + 3) / 4;
  const std::int64_t i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const std::int64_t j = 80 * l / 2447;
  const std::int64_t day = l - 2447 * j / 80;
  l = j / 11;
  const std::int64_t month = j + 2 - 12 * l;
  const std::int64_t year = 100 * (n - 49) + i + l;
  if (year < 0 || year > 9999) {
    out += DTOS(date);
    return;
  }
  char digits[8];
  auto value = year * 10000 + month * 100 + day;
  for (int i = 7; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(digits, sizeof digits);
}

bool is_empty_value(const ExprNode& node, const FieldSource& source) {
  switch (node.kind()) {
    case ResultKind::Text:
      return text_of(node, source).find_first_not_of(" \t\r\n") == std::string::npos;
    case ResultKind::Number:
      return node.number(source) == 0;
    case ResultKind::Date:
      return node.date(source).is_blank();
    case ResultKind::Logical:
      return !node.logical(source);
  }
  return true;
}

std::string strzero(double number, int width, int decimals) {
  std::string text = STR(number, width, decimals);
  const std::size_t minus = text.find('-');
  if (minus != std::string::npos) text[minus] = ' ';
  std::replace(text.begin(), text.end(), ' ', '0');
  if (minus != std::string::npos) text[0] = '-';
  return text;
}

class CallNode final : public ExprNode {
 public:
  CallNode(ExprType type, Fn id, ExprNodes arguments)
      : ExprNode(type), m_id(id), m_args(std::move(arguments)) {
    if (m_id == Fn::Str || m_id == Fn::StrZero) {
      const ExprType& number = m_args[0]->type();
      m_width = text_length(constant_count(m_args, 1, number.width));
      m_decimals = m_args.size() > 1 ? static_cast<int>(constant_count(m_args, 2, 0)) : number.decimals;
      m_has_constant_format =
          (m_args.size() < 2 || m_args[1]->is_constant()) && (m_args.size() < 3 || m_args[2]->is_constant());
    }
  }

  bool is_constant() const override {
    return is_pure(m_id) &&
           std::all_of(m_args.begin(), m_args.end(), [](const ExprNodePtr& a) { return a->is_constant(); });
  }
  const ExprNode* descended() const override { return m_id == Fn::Descend ? m_args[0].get() : nullptr; }

  void append_text(const FieldSource& source, std::string& out) const override {
    switch (m_id) {
      case Fn::Str: {
        const double number = arg(0).number(source);
        if (m_has_constant_format) {
          append_STR(out, number, m_width, m_decimals);
        } else {
          append_STR(out, number, text_length(count(1, source, 10)), static_cast<int>(count(2, source, 0)));
        }
        return;
      }
      case Fn::StrZero:
        out += strzero(arg(0).number(source),
                       m_has_constant_format ? m_width : text_length(count(1, source, 10)),
                       m_has_constant_format ? m_decimals : static_cast<int>(count(2, source, 0)));
        return;
      case Fn::Transform:
        out += TRANSFORM(arg(0).value(source), text_of(arg(1), source));
        return;
      case Fn::Dtos:
        append_dtos(arg(0).date(source), out);
        return;
      case Fn::Dtoc:
        out += DTOC(arg(0).date(source));
        return;
      case Fn::Upper: {
        const std::size_t start = out.size();
        arg(0).append_text(source, out);
        out.replace(start, std::string::npos, UPPER(std::string_view(out).substr(start)));
        return;
      }
      case Fn::Lower:
        out += LOWER(text_of(arg(0), source));
        return;
      case Fn::Left:
        out += LEFT(text_of(arg(0), source), count(1, source, 0));
        return;
      case Fn::Right:
        out += RIGHT(text_of(arg(0), source), count(1, source, 0));
        return;
      case Fn::Substr: {
        const std::string text = text_of(arg(0), source);
        out += m_args.size() > 2 ? SUBSTR(text, count(1, source, 1), count(2, source, 0))
                                 : SUBSTR(text, count(1, source, 1));
        return;
      }
      case Fn::Trim:
        out += RTRIM(text_of(arg(0), source));
        return;
      case Fn::Ltrim:
        out += LTRIM(text_of(arg(0), source));
        return;
      case Fn::Alltrim:
        out += ALLTRIM(text_of(arg(0), source));
        return;
      case Fn::Padr:
      case Fn::Padl:
      case Fn::Padc: {
        const std::string fill = m_args.size() > 2 ? text_of(arg(2), source) : std::string(" ");
        // One stored byte per character: a fill outside ASCII would not be one character here.
        const char pad = fill.empty() || static_cast<unsigned char>(fill[0]) >= 0x80 ? ' ' : fill[0];
        const std::string text = text_of(arg(0), source);
        const long width = text_length(count(1, source, 0));
        out += m_id == Fn::Padr   ? PADR(text, width, pad)
               : m_id == Fn::Padl ? PADL(text, width, pad)
                                  : PADC(text, width, pad);
        return;
      }
      case Fn::Space:
        out.append(static_cast<std::size_t>(text_length(count(0, source, 0))), ' ');
        return;
      case Fn::Replicate: {
        const std::string text = text_of(arg(0), source);
        const long times =
            std::min(count(1, source, 0), kMaxTextLength / std::max<long>(1, static_cast<long>(text.size())));
        for (long i = times; i > 0; --i) out += text;
        return;
      }
      case Fn::Iif:
        chosen(source).append_text(source, out);
        return;
      case Fn::Descend: {
        std::string key;
        arg(0).append_key(source, key);
        invert_bytes(key);
        out += key;
        return;
      }
      default:
        ExprNode::append_text(source, out);
    }
  }

  void append_key(const FieldSource& source, std::string& out) const override {
    if (m_id == Fn::Iif) {
      chosen(source).append_key(source, out);
    } else if (m_id == Fn::Dtos || m_id == Fn::Str || m_id == Fn::StrZero) {
      append_text(source, out);  // Digits and blanks: the same bytes in every code page.
    } else if (m_id == Fn::Descend) {
      append_text(source, out);  // Already key bytes.
    } else {
      ExprNode::append_key(source, out);
    }
  }

  double number(const FieldSource& source) const override {
    switch (m_id) {
      case Fn::Val:
        return VAL(text_of(arg(0), source));
      case Fn::Year:
        return arg(0).date(source).year();
      case Fn::Month:
        return arg(0).date(source).month();
      case Fn::Day:
        return arg(0).date(source).day();
      case Fn::Dow:
        return DOW(arg(0).date(source));
      case Fn::Len:
        return static_cast<double>(LEN(text_of(arg(0), source)));
      case Fn::At: {
        const std::string needle = text_of(arg(0), source);
        const std::string haystack = text_of(arg(1), source);
        const std::size_t at = needle.empty() ? std::string::npos : haystack.find(needle);
        return at == std::string::npos
                   ? 0.0
                   : static_cast<double>(LEN(std::string_view(haystack).substr(0, at)) + 1);
      }
      case Fn::Int:
        return std::trunc(arg(0).number(source));
      case Fn::Abs:
        return std::fabs(arg(0).number(source));
      case Fn::Round:
        return xbase_round(arg(0).number(source), static_cast<int>(count(1, source, 0)));
      case Fn::Recno:
        return static_cast<double>(source.recno());
      case Fn::Iif:
        return chosen(source).number(source);
      case Fn::Descend:
        if (arg(0).kind() == ResultKind::Date) return kDescendDateBase - arg(0).date(source).julian();
        return -arg(0).number(source);
      default:
        return ExprNode::number(source);
    }
  }

  Date date(const FieldSource& source) const override {
    switch (m_id) {
      case Fn::Ctod:
        return CTOD(ALLTRIM(text_of(arg(0), source)));
      case Fn::Stod:
        return STOD(text_of(arg(0), source));
      case Fn::Today:
        return source.today();
      case Fn::Iif:
        return chosen(source).date(source);
      default:
        return ExprNode::date(source);
    }
  }

  bool logical(const FieldSource& source) const override {
    switch (m_id) {
      case Fn::Empty:
        return is_empty_value(arg(0), source);
      case Fn::Deleted:
        return source.deleted();
      case Fn::Iif:
        return chosen(source).logical(source);
      case Fn::Descend:
        return !arg(0).logical(source);
      default:
        return ExprNode::logical(source);
    }
  }

 private:
  const ExprNode& arg(std::size_t index) const { return *m_args[index]; }
  const ExprNode& chosen(const FieldSource& source) const { return arg(0).logical(source) ? arg(1) : arg(2); }
  long count(std::size_t index, const FieldSource& source, long fallback) const {
    if (index >= m_args.size()) return fallback;
    const double value = m_args[index]->number(source);
    return std::isfinite(value) ? static_cast<long>(std::clamp(value, -1e6, 1e6)) : fallback;
  }

  Fn m_id;
  ExprNodes m_args;
  int m_width = 10;
  int m_decimals = 0;
  bool m_has_constant_format = false;
};

}  // namespace

int text_length(long wanted) { return static_cast<int>(std::clamp(wanted, 0L, kMaxTextLength)); }

long constant_count(const ExprNodes& arguments, std::size_t index, long fallback) {
  if (index >= arguments.size() || !arguments[index]->is_constant()) return fallback;
  const double value = arguments[index]->number(no_row_source());
  return std::isfinite(value) ? static_cast<long>(std::clamp(value, -1e6, 1e6)) : fallback;
}

std::string text_of(const ExprNode& node, const FieldSource& source) {
  std::string text;
  node.append_text(source, text);
  return text;
}

ExprNodePtr make_call_node(ExprType type, ExprFunction id, ExprNodes arguments) {
  return std::make_unique<CallNode>(type, id, std::move(arguments));
}

}  // namespace data
