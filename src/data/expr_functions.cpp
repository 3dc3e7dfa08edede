#include "data/expr_functions.h"

#include <algorithm>
#include <cmath>

#include "data/number_format.h"
#include "data/text.h"

namespace data {
namespace {

enum class Fn {
  Str, StrZero, Val, Transform, Dtos, Dtoc, Ctod, Stod, Today, Year, Month, Day, Dow,
  Upper, Lower, Left, Right, Substr, Len, At, Trim, Ltrim, Alltrim, Padr, Padl, Padc,
  Space, Replicate, Iif, Empty, Descend, Int, Abs, Round, Deleted, Recno,
};

// `arguments` has one letter per parameter: C N D L for a kind, "*" for any kind; a lower
// case letter (or "?") marks an optional one.
struct FunctionSpec {
  std::string_view name;
  Fn id;
  std::string_view arguments;
  ResultKind result;  // For IIF and DESCEND the argument decides; see call_type.
};

constexpr FunctionSpec kFunctions[] = {
    {"STR", Fn::Str, "Nnn", ResultKind::Text},          {"STRZERO", Fn::StrZero, "Nnn", ResultKind::Text},
    {"VAL", Fn::Val, "C", ResultKind::Number},          {"TRANSFORM", Fn::Transform, "*C", ResultKind::Text},
    {"DTOS", Fn::Dtos, "D", ResultKind::Text},          {"DTOC", Fn::Dtoc, "D", ResultKind::Text},
    {"CTOD", Fn::Ctod, "C", ResultKind::Date},          {"STOD", Fn::Stod, "C", ResultKind::Date},
    {"DATE", Fn::Today, "", ResultKind::Date},          {"YEAR", Fn::Year, "D", ResultKind::Number},
    {"MONTH", Fn::Month, "D", ResultKind::Number},       {"DAY", Fn::Day, "D", ResultKind::Number},
    {"DOW", Fn::Dow, "D", ResultKind::Number},          {"UPPER", Fn::Upper, "C", ResultKind::Text},
    {"LOWER", Fn::Lower, "C", ResultKind::Text},        {"LEFT", Fn::Left, "CN", ResultKind::Text},
    {"RIGHT", Fn::Right, "CN", ResultKind::Text},       {"SUBSTR", Fn::Substr, "CNn", ResultKind::Text},
    {"LEN", Fn::Len, "C", ResultKind::Number},          {"AT", Fn::At, "CC", ResultKind::Number},
    {"TRIM", Fn::Trim, "C", ResultKind::Text},          {"RTRIM", Fn::Trim, "C", ResultKind::Text},
    {"LTRIM", Fn::Ltrim, "C", ResultKind::Text},        {"ALLTRIM", Fn::Alltrim, "C", ResultKind::Text},
    {"PADR", Fn::Padr, "CNc", ResultKind::Text},        {"PADL", Fn::Padl, "CNc", ResultKind::Text},
    {"PADC", Fn::Padc, "CNc", ResultKind::Text},        {"SPACE", Fn::Space, "N", ResultKind::Text},
    {"REPLICATE", Fn::Replicate, "CN", ResultKind::Text}, {"IIF", Fn::Iif, "L**", ResultKind::Text},
    {"EMPTY", Fn::Empty, "*", ResultKind::Logical},     {"DESCEND", Fn::Descend, "*", ResultKind::Text},
    {"INT", Fn::Int, "N", ResultKind::Number},          {"ABS", Fn::Abs, "N", ResultKind::Number},
    {"ROUND", Fn::Round, "NN", ResultKind::Number},     {"DELETED", Fn::Deleted, "", ResultKind::Logical},
    {"RECNO", Fn::Recno, "", ResultKind::Number},
};

constexpr std::int32_t kDescendDateBase = 5231808;
// The longest text SPACE, REPLICATE, the PAD functions and STR build, as the suite's
// runtimes limit their strings; it keeps a hostile expression from exhausting memory.
constexpr long kMaxTextLength = 65535;

int text_length(long wanted) { return static_cast<int>(std::clamp(wanted, 0L, kMaxTextLength)); }

const FunctionSpec* find_function(std::string_view name) {
  const std::string upper = UPPER(name);
  for (const FunctionSpec& spec : kFunctions) {
    if (spec.name == upper) return &spec;
  }
  if (upper.size() < 4) return nullptr;
  for (const FunctionSpec& spec : kFunctions) {
    if (spec.name.starts_with(upper)) return &spec;
  }
  return nullptr;
}

bool is_pure(Fn id) { return id != Fn::Today && id != Fn::Deleted && id != Fn::Recno; }

// The value of a constant argument, or `fallback` when it depends on the row.
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
    case ResultKind::Text: return text_of(node, source).find_first_not_of(" \t\r\n") == std::string::npos;
    case ResultKind::Number: return node.number(source) == 0;
    case ResultKind::Date: return node.date(source).is_blank();
    case ResultKind::Logical: return !node.logical(source);
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

// The width TRANSFORM gives, when its picture is known while compiling.
int transform_width(const ExprNodes& arguments) {
  const ExprType& value = arguments[0]->type();
  if (value.kind == ResultKind::Date) return 8;
  if (value.kind == ResultKind::Logical) return 1;
  if (!arguments[1]->is_constant()) return value.width;
  const std::string picture = text_of(*arguments[1], no_row_source());
  std::string_view mask = picture;
  if (!mask.empty() && mask.front() == '@') {
    const std::size_t blank = mask.find(' ');
    mask = blank == std::string_view::npos ? std::string_view{} : mask.substr(blank + 1);
  }
  if (!mask.empty()) return static_cast<int>(LEN(mask));
  if (value.kind == ResultKind::Number) return value.decimals > 0 ? 13 : 10;
  return value.width;
}

class CallNode final : public ExprNode {
 public:
  CallNode(ExprType type, Fn id, ExprNodes arguments) : ExprNode(type), m_id(id), m_args(std::move(arguments)) {
    if (m_id == Fn::Str || m_id == Fn::StrZero) {
      const ExprType& number = m_args[0]->type();
      m_width = text_length(constant_count(m_args, 1, number.width));
      m_decimals = m_args.size() > 1 ? static_cast<int>(constant_count(m_args, 2, 0)) : number.decimals;
      m_has_constant_format = (m_args.size() < 2 || m_args[1]->is_constant()) &&
                              (m_args.size() < 3 || m_args[2]->is_constant());
    }
  }

  bool is_constant() const override {
    return is_pure(m_id) && std::all_of(m_args.begin(), m_args.end(), [](const ExprNodePtr& a) { return a->is_constant(); });
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
        out += strzero(arg(0).number(source), m_has_constant_format ? m_width : text_length(count(1, source, 10)),
                       m_has_constant_format ? m_decimals : static_cast<int>(count(2, source, 0)));
        return;
      case Fn::Transform: out += TRANSFORM(arg(0).value(source), text_of(arg(1), source)); return;
      case Fn::Dtos: append_dtos(arg(0).date(source), out); return;
      case Fn::Dtoc: out += DTOC(arg(0).date(source)); return;
      case Fn::Upper: {
        const std::size_t start = out.size();
        arg(0).append_text(source, out);
        out.replace(start, std::string::npos, UPPER(std::string_view(out).substr(start)));
        return;
      }
      case Fn::Lower: out += LOWER(text_of(arg(0), source)); return;
      case Fn::Left: out += LEFT(text_of(arg(0), source), count(1, source, 0)); return;
      case Fn::Right: out += RIGHT(text_of(arg(0), source), count(1, source, 0)); return;
      case Fn::Substr: {
        const std::string text = text_of(arg(0), source);
        out += m_args.size() > 2 ? SUBSTR(text, count(1, source, 1), count(2, source, 0))
                                 : SUBSTR(text, count(1, source, 1));
        return;
      }
      case Fn::Trim: out += RTRIM(text_of(arg(0), source)); return;
      case Fn::Ltrim: out += LTRIM(text_of(arg(0), source)); return;
      case Fn::Alltrim: out += ALLTRIM(text_of(arg(0), source)); return;
      case Fn::Padr: case Fn::Padl: case Fn::Padc: {
        const std::string fill = m_args.size() > 2 ? text_of(arg(2), source) : std::string(" ");
        // One stored byte per character: a fill outside ASCII would not be one character here.
        const char pad = fill.empty() || static_cast<unsigned char>(fill[0]) >= 0x80 ? ' ' : fill[0];
        const std::string text = text_of(arg(0), source);
        const long width = text_length(count(1, source, 0));
        out += m_id == Fn::Padr ? PADR(text, width, pad) : m_id == Fn::Padl ? PADL(text, width, pad) : PADC(text, width, pad);
        return;
      }
      case Fn::Space: out.append(static_cast<std::size_t>(text_length(count(0, source, 0))), ' '); return;
      case Fn::Replicate: {
        const std::string text = text_of(arg(0), source);
        const long times = std::min(count(1, source, 0), kMaxTextLength / std::max<long>(1, static_cast<long>(text.size())));
        for (long i = times; i > 0; --i) out += text;
        return;
      }
      case Fn::Iif: chosen(source).append_text(source, out); return;
      case Fn::Descend: {
        std::string key;
        arg(0).append_key(source, key);
        invert_bytes(key);
        out += key;
        return;
      }
      default: ExprNode::append_text(source, out);
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
      case Fn::Val: return VAL(text_of(arg(0), source));
      case Fn::Year: return arg(0).date(source).year();
      case Fn::Month: return arg(0).date(source).month();
      case Fn::Day: return arg(0).date(source).day();
      case Fn::Dow: return DOW(arg(0).date(source));
      case Fn::Len: return static_cast<double>(LEN(text_of(arg(0), source)));
      case Fn::At: {
        const std::string needle = text_of(arg(0), source);
        const std::string haystack = text_of(arg(1), source);
        const std::size_t at = needle.empty() ? std::string::npos : haystack.find(needle);
        return at == std::string::npos ? 0.0 : static_cast<double>(LEN(std::string_view(haystack).substr(0, at)) + 1);
      }
      case Fn::Int: return std::trunc(arg(0).number(source));
      case Fn::Abs: return std::fabs(arg(0).number(source));
      case Fn::Round: return xbase_round(arg(0).number(source), static_cast<int>(count(1, source, 0)));
      case Fn::Recno: return static_cast<double>(source.recno());
      case Fn::Iif: return chosen(source).number(source);
      case Fn::Descend:
        if (arg(0).kind() == ResultKind::Date) return kDescendDateBase - arg(0).date(source).julian();
        return -arg(0).number(source);
      default: return ExprNode::number(source);
    }
  }

  Date date(const FieldSource& source) const override {
    switch (m_id) {
      case Fn::Ctod: return CTOD(ALLTRIM(text_of(arg(0), source)));
      case Fn::Stod: return STOD(text_of(arg(0), source));
      case Fn::Today: return source.today();
      case Fn::Iif: return chosen(source).date(source);
      default: return ExprNode::date(source);
    }
  }

  bool logical(const FieldSource& source) const override {
    switch (m_id) {
      case Fn::Empty: return is_empty_value(arg(0), source);
      case Fn::Deleted: return source.deleted();
      case Fn::Iif: return chosen(source).logical(source);
      case Fn::Descend: return !arg(0).logical(source);
      default: return ExprNode::logical(source);
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

// The static type of a call whose arguments passed their kind checks.
Result<ExprType> call_type(const FunctionSpec& spec, const ExprNodes& args) {
  const auto width_of = [&](std::size_t index) { return args[index]->type().width; };
  const auto clamp_width = [](long width) { return text_length(width); };
  using K = ResultKind;
  switch (spec.id) {
    case Fn::Str:
    case Fn::StrZero:
      return ExprType{K::Text, clamp_width(constant_count(args, 1, width_of(0))), 0};
    case Fn::Transform: return ExprType{K::Text, transform_width(args), 0};
    case Fn::Dtos:
    case Fn::Dtoc: return ExprType{K::Text, 8, 0};
    case Fn::Left:
    case Fn::Right: return ExprType{K::Text, clamp_width(std::min<long>(constant_count(args, 1, width_of(0)), width_of(0))), 0};
    case Fn::Substr: {
      const long start = constant_count(args, 1, 1);
      const long rest = start > 0 ? width_of(0) - start + 1 : width_of(0);
      return ExprType{K::Text, clamp_width(std::min(constant_count(args, 2, rest), rest)), 0};
    }
    case Fn::Padr:
    case Fn::Padl:
    case Fn::Padc: return ExprType{K::Text, clamp_width(constant_count(args, 1, width_of(0))), 0};
    case Fn::Space: return ExprType{K::Text, clamp_width(constant_count(args, 0, 0)), 0};
    case Fn::Replicate: return ExprType{K::Text, clamp_width(width_of(0) * constant_count(args, 1, 1)), 0};
    case Fn::Upper:
    case Fn::Lower:
    case Fn::Trim:
    case Fn::Ltrim:
    case Fn::Alltrim: return ExprType{K::Text, width_of(0), 0};
    case Fn::Iif: {
      const ExprType& a = args[1]->type();
      const ExprType& b = args[2]->type();
      if (a.kind != b.kind) {
        return Error{kExprTypeMismatch, std::string("IIF with branches of types ") + static_cast<char>(a.kind) +
                                            " and " + static_cast<char>(b.kind)};
      }
      return ExprType{a.kind, std::max(a.width, b.width), std::max(a.decimals, b.decimals)};
    }
    case Fn::Descend: {
      const ExprType& a = args[0]->type();
      if (a.kind == K::Date) return ExprType{K::Number, 8, 0};
      return a;
    }
    case Fn::Val: return ExprType{K::Number, computed_number_width(0), 0};
    case Fn::Round: {
      const int decimals = static_cast<int>(std::clamp(constant_count(args, 1, 0), 0L, 15L));
      return ExprType{K::Number, computed_number_width(decimals), decimals};
    }
    case Fn::Int: case Fn::Abs: {
      const ExprType& a = args[0]->type();
      return ExprType{K::Number, a.width, spec.id == Fn::Int ? 0 : a.decimals};
    }
    default:
      break;
  }
  switch (spec.result) {
    case K::Number: return ExprType{K::Number, computed_number_width(0), 0};
    case K::Date: return ExprType{K::Date, 8, 0};
    case K::Logical: return ExprType{K::Logical, 1, 0};
    case K::Text: break;
  }
  return ExprType{K::Text, 0, 0};
}

}  // namespace

Result<ExprNodePtr> make_call(std::string_view name, ExprNodes arguments) {
  const FunctionSpec* spec = find_function(name);
  if (!spec) return Error{kExprUnknownFunction, "unknown function " + UPPER(name) + "()"};
  const std::string_view wanted = spec->arguments;
  const std::size_t required = static_cast<std::size_t>(
      std::count_if(wanted.begin(), wanted.end(), [](char c) { return c == '*' || (c >= 'A' && c <= 'Z'); }));
  if (arguments.size() < required || arguments.size() > wanted.size()) {
    return Error{kExprBadArgumentCount, std::string(spec->name) + "() takes " +
                                            (required == wanted.size() ? std::to_string(required)
                                                                       : std::to_string(required) + " to " +
                                                                             std::to_string(wanted.size())) +
                                            " arguments, not " + std::to_string(arguments.size())};
  }
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const char letter = static_cast<char>(wanted[i] & ~0x20);  // Optional ones are lower case.
    if (wanted[i] == '*' || wanted[i] == '?') continue;
    if (static_cast<char>(arguments[i]->kind()) != letter) {
      return Error{kExprTypeMismatch, std::string(spec->name) + "() needs " + letter + " as argument " +
                                          std::to_string(i + 1) + ", not " + static_cast<char>(arguments[i]->kind())};
    }
  }
  Result<ExprType> type = call_type(*spec, arguments);
  if (!type) return type.error();
  return ExprNodePtr(std::make_unique<CallNode>(*type, spec->id, std::move(arguments)));
}

}  // namespace data
