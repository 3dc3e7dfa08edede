#include "data/expr_functions.h"

#include <algorithm>

#include "data/expr_call_node.h"
#include "data/text.h"

namespace data {
namespace {

using Fn = ExprFunction;

// `arguments` has one letter per parameter: C N D L for a kind, "*" for any kind; a lower
// case letter (or "?") marks an optional one.
struct FunctionSpec {
  std::string_view name;
  Fn id;
  std::string_view arguments;
  ResultKind result;  // For IIF and DESCEND the argument decides; see call_type.
};

constexpr FunctionSpec kFunctions[] = {
    {"STR", Fn::Str, "Nnn", ResultKind::Text},
    {"STRZERO", Fn::StrZero, "Nnn", ResultKind::Text},
    {"VAL", Fn::Val, "C", ResultKind::Number},
    {"TRANSFORM", Fn::Transform, "*C", ResultKind::Text},
    {"DTOS", Fn::Dtos, "D", ResultKind::Text},
    {"DTOC", Fn::Dtoc, "D", ResultKind::Text},
    {"CTOD", Fn::Ctod, "C", ResultKind::Date},
    {"STOD", Fn::Stod, "C", ResultKind::Date},
    {"DATE", Fn::Today, "", ResultKind::Date},
    {"YEAR", Fn::Year, "D", ResultKind::Number},
    {"MONTH", Fn::Month, "D", ResultKind::Number},
    {"DAY", Fn::Day, "D", ResultKind::Number},
    {"DOW", Fn::Dow, "D", ResultKind::Number},
    {"UPPER", Fn::Upper, "C", ResultKind::Text},
    {"LOWER", Fn::Lower, "C", ResultKind::Text},
    {"LEFT", Fn::Left, "CN", ResultKind::Text},
    {"RIGHT", Fn::Right, "CN", ResultKind::Text},
    {"SUBSTR", Fn::Substr, "CNn", ResultKind::Text},
    {"LEN", Fn::Len, "C", ResultKind::Number},
    {"AT", Fn::At, "CC", ResultKind::Number},
    {"TRIM", Fn::Trim, "C", ResultKind::Text},
    {"RTRIM", Fn::Trim, "C", ResultKind::Text},
    {"LTRIM", Fn::Ltrim, "C", ResultKind::Text},
    {"ALLTRIM", Fn::Alltrim, "C", ResultKind::Text},
    {"PADR", Fn::Padr, "CNc", ResultKind::Text},
    {"PADL", Fn::Padl, "CNc", ResultKind::Text},
    {"PADC", Fn::Padc, "CNc", ResultKind::Text},
    {"SPACE", Fn::Space, "N", ResultKind::Text},
    {"REPLICATE", Fn::Replicate, "CN", ResultKind::Text},
    {"IIF", Fn::Iif, "L**", ResultKind::Text},
    {"EMPTY", Fn::Empty, "*", ResultKind::Logical},
    {"DESCEND", Fn::Descend, "*", ResultKind::Text},
    {"INT", Fn::Int, "N", ResultKind::Number},
    {"ABS", Fn::Abs, "N", ResultKind::Number},
    {"ROUND", Fn::Round, "NN", ResultKind::Number},
    {"DELETED", Fn::Deleted, "", ResultKind::Logical},
    {"RECNO", Fn::Recno, "", ResultKind::Number},
};

const FunctionSpec* find_function(std::string_view name) {
  const std::string upper = UPPER(name);
  for (const FunctionSpec& entry : kFunctions) {
    if (entry.name == upper) return &entry;
  }
  if (upper.size() < 4) return nullptr;
  for (const FunctionSpec& entry : kFunctions) {
    if (entry.name.starts_with(upper)) return &entry;
  }
  return nullptr;
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

// The static type of a call whose arguments passed their kind checks.
Result<ExprType> call_type(const FunctionSpec& entry, const ExprNodes& args) {
  const auto width_of = [&](std::size_t index) { return args[index]->type().width; };
  const auto clamp_width = [](long width) { return text_length(width); };
  using K = ResultKind;
  switch (entry.id) {
    case Fn::Str:
    case Fn::StrZero:
      return ExprType{K::Text, clamp_width(constant_count(args, 1, width_of(0))), 0};
    case Fn::Transform:
      return ExprType{K::Text, transform_width(args), 0};
    case Fn::Dtos:
    case Fn::Dtoc:
      return ExprType{K::Text, 8, 0};
    case Fn::Left:
    case Fn::Right:
      return ExprType{K::Text, clamp_width(std::min<long>(constant_count(args, 1, width_of(0)), width_of(0))),
                      0};
    case Fn::Substr: {
      const long start = constant_count(args, 1, 1);
      const long rest = start > 0 ? width_of(0) - start + 1 : width_of(0);
      return ExprType{K::Text, clamp_width(std::min(constant_count(args, 2, rest), rest)), 0};
    }
    case Fn::Padr:
    case Fn::Padl:
    case Fn::Padc:
      return ExprType{K::Text, clamp_width(constant_count(args, 1, width_of(0))), 0};
    case Fn::Space:
      return ExprType{K::Text, clamp_width(constant_count(args, 0, 0)), 0};
    case Fn::Replicate:
      return ExprType{K::Text, clamp_width(width_of(0) * constant_count(args, 1, 1)), 0};
    case Fn::Upper:
    case Fn::Lower:
    case Fn::Trim:
    case Fn::Ltrim:
    case Fn::Alltrim:
      return ExprType{K::Text, width_of(0), 0};
    case Fn::Iif: {
      const ExprType& a = args[1]->type();
      const ExprType& b = args[2]->type();
      if (a.kind != b.kind) {
        return Error{kExprTypeMismatch, std::string("IIF with branches of types ") +
                                            static_cast<char>(a.kind) + " and " + static_cast<char>(b.kind)};
      }
      return ExprType{a.kind, std::max(a.width, b.width), std::max(a.decimals, b.decimals)};
    }
    case Fn::Descend: {
      const ExprType& a = args[0]->type();
      if (a.kind == K::Date) return ExprType{K::Number, 8, 0};
      return a;
    }
    case Fn::Val:
      return ExprType{K::Number, computed_number_width(0), 0};
    case Fn::Round: {
      const int decimals = static_cast<int>(std::clamp(constant_count(args, 1, 0), 0L, 15L));
      return ExprType{K::Number, computed_number_width(decimals), decimals};
    }
    case Fn::Int:
    case Fn::Abs: {
      const ExprType& a = args[0]->type();
      return ExprType{K::Number, a.width, entry.id == Fn::Int ? 0 : a.decimals};
    }
    default:
      break;
  }
  switch (entry.result) {
    case K::Number:
      return ExprType{K::Number, computed_number_width(0), 0};
    case K::Date:
      return ExprType{K::Date, 8, 0};
    case K::Logical:
      return ExprType{K::Logical, 1, 0};
    case K::Text:
      break;
  }
  return ExprType{K::Text, 0, 0};
}

}  // namespace

Result<ExprNodePtr> make_call(std::string_view name, ExprNodes arguments) {
  const FunctionSpec* entry = find_function(name);
  if (!entry) return Error{kExprUnknownFunction, "unknown function " + UPPER(name) + "()"};
  const std::string_view wanted = entry->arguments;
  const std::size_t required = static_cast<std::size_t>(
      std::count_if(wanted.begin(), wanted.end(), [](char c) { return c == '*' || (c >= 'A' && c <= 'Z'); }));
  if (arguments.size() < required || arguments.size() > wanted.size()) {
    return Error{kExprBadArgumentCount, std::string(entry->name) + "() takes " +
                                            (required == wanted.size() ? std::to_string(required)
                                                                       : std::to_string(required) + " to " +
                                                                             std::to_string(wanted.size())) +
                                            " arguments, not " + std::to_string(arguments.size())};
  }
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const char letter = static_cast<char>(wanted[i] & ~0x20);  // Optional ones are lower case.
    if (wanted[i] == '*' || wanted[i] == '?') continue;
    if (static_cast<char>(arguments[i]->kind()) != letter) {
      return Error{kExprTypeMismatch, std::string(entry->name) + "() needs " + letter + " as argument " +
                                          std::to_string(i + 1) + ", not " +
                                          static_cast<char>(arguments[i]->kind())};
    }
  }
  Result<ExprType> type = call_type(*entry, arguments);
  if (!type) return type.error();
  return make_call_node(*type, entry->id, std::move(arguments));
}

}  // namespace data
