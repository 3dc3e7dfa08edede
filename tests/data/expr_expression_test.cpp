#include "data/expr_expression.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "data/expr_memory_source.h"
#include "data/number_format.h"
#include "data/runtime_error.h"

namespace data {
namespace {

// A row of the shape of the sample tables, plus an outbox-like part.
MemoryFieldSource sample_row() {
  MemoryFieldSource row({{"NEGOCIO", {'C', 15, 0}},
                         {"CODIGO", {'C', 10, 0}},
                         {"FECHA", {'D', 8, 0}},
                         {"MONTO", {'N', 12, 2}},
                         {"ACTIVO", {'L', 1, 0}},
                         {"ENVIADO", {'N', 1, 0}},
                         {"HORA", {'C', 8, 0}},
                         {"VACIA", {'D', 8, 0}}},
                        "E_MSGS");
  row.set("NEGOCIO", "ñandú");
  row.set("CODIGO", "cod00042");
  row.set("FECHA", Date::from_ymd(2026, 12, 11));
  row.set("MONTO", -426.69);
  row.set("ACTIVO", true);
  row.set("ENVIADO", 0);
  row.set("HORA", "07:13:29");
  row.set_recno(42);
  row.set_today(Date::from_ymd(2026, 12, 9));
  return row;
}

// One readable form for every kind, so that a table of cases can hold any result.
std::string show(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Text:
      return '"' + value.text() + '"';
    case Value::Kind::Number: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.10g", value.number());
      return buffer;
    }
    case Value::Kind::Date:
      return "D" + DTOS(value.date());
    case Value::Kind::Logical:
      return value.logical() ? ".T." : ".F.";
    default:
      return "?";
  }
}

Expression compile_ok(std::string_view text, const FieldSource& source) {
  Result<Expression> expression = Expression::compile(text, source);
  if (!expression) ADD_FAILURE() << expression.error().text;
  return expression ? *expression : *Expression::compile(".F.", source);
}

TEST(Expression, EvaluatesAgainstTheCurrentRow) {
  struct Case {
    std::string_view text, result;
  };
  constexpr Case kCases[] = {
      {"NEGOCIO+DTOS(FECHA)", "\"ñandú          20261211\""},
      {"negocio + codigo", "\"ñandú          cod00042  \""},  // Names in any case.
      {"E_MSGS->CODIGO", "\"cod00042  \""},                   // With the work area's alias.
      {"FIELD->HORA", "\"07:13:29\""},
      {"STR(MONTO,12,2)", "\"     -426.69\""},
      {"STR(MONTO)", "\"     -426.69\""},  // A field keeps its width and decimals.
      {"STR(ENVIADO,1)+STR(1,1)+DTOS(FECHA)+HORA", "\"012026121107:13:29\""},
      {"UPPER(NEGOCIO)", "\"ÑANDÚ          \""},
      {"LOWER('ÁRBOL')", "\"árbol\""},
      {"LEFT(CODIGO,3)+RIGHT(TRIM(CODIGO),2)+SUBSTR(CODIGO,4,3)", "\"cod42000\""},
      {"SUBS(CODIGO,4)", "\"00042  \""},  // Names cut to four letters.
      {"ALLTRIM('  a  ')+LTRIM(' b')+RTRIM('c ')+TRIM('d ')", "\"abcd\""},
      {"PADR('ab',4)+'|'+PADL('ab',4)+'|'+PADC('ab',4,'*')", "\"ab  |  ab|*ab*\""},
      {"'AB  ' - 'CD'", "\"ABCD  \""},  // "-" moves the blanks to the end.
      {"\"a\" + 'b' + [c]", "\"abc\""},
      {"IIF(ACTIVO, 'SI', 'NO')", "\"SI\""},
      {"IIF(.NOT. ACTIVO, 1, 2)", "2"},
      {"TRANSFORM(MONTO, '999,999.99')", "\"   -426.69\""},
      {"TRANSFORM(CODIGO, '@!')", "\"COD00042  \""},
      {"DTOC(FECHA)", "\"11/12/26\""},
      {"CTOD('11/12/2026') = FECHA", ".T."},
      {"STOD('20261211') == FECHA", ".T."},
      {"FECHA + 21", "D20270101"},
      {"21 + FECHA", "D20270101"},
      {"FECHA - 11", "D20261130"},
      {"{^2026-12-31} - FECHA", "20"},
      {"{31/12/2026} - FECHA", "20"},  // Day-first dates.
      {"STR(CTOD('01/01/2090') - FECHA, 14)", "\"         23032\""},
      {"VACIA + 5", "D        "},            // The blank date stays blank.
      {"FECHA + 10000000000", "D        "},  // Past the calendar: no date.
      {"FECHA - 3000000", "D        "},
      {"{} = VACIA", ".T."},
      {"YEAR(FECHA)*10000 + MONTH(FECHA)*100 + DAY(FECHA)", "20261211"},
      {"DOW(FECHA)", "6"},
      {"DATE()", "D20261209"},
      {"VAL('  12.5') * 2", "25"},
      {"MONTO / 0", "0"},  // Division by zero gives 0.
      {"7 % 0", "0"},
      {"7 % 3", "1"},
      {"-MONTO", "426.69"},
      {"(1 + 2) * 3 - 4 / 2", "7"},
      {"ROUND(2.345, 2) + INT(-2.7) + ABS(-1)", "1.35"},
      {"LEN(NEGOCIO) + LEN(TRIM(NEGOCIO))", "20"},  // Characters, not bytes.
      {"AT('dú', NEGOCIO)", "4"},
      {"SPACE(2) + REPLICATE('ab', 2)", "\"  abab\""},
      {"STRZERO(42, 6)", "\"000042\""},
      {"STRZERO(-42, 6)", "\"-00042\""},
      {"EMPTY(VACIA) .AND. !EMPTY(FECHA) .AND. EMPTY('   ') .AND. EMPTY(0)", ".T."},
      {"DELETED()", ".F."},
      {"RECNO()", "42"},
      {"ENVIADO = 0", ".T."},
      {"NEGOCIO = 'ñan'", ".T."},  // The prefix rule.
      {"NEGOCIO = ''", ".T."},
      {"'ñan' = NEGOCIO", ".F."},
      {"NEGOCIO == 'ñandú'", ".F."},  // Exact: the padding counts.
      {"TRIM(NEGOCIO) == 'ñandú'", ".T."},
      {"NEGOCIO <> 'ñan'", ".F."},
      {"NEGOCIO != 'x' .AND. NEGOCIO # 'y'", ".T."},
      {"'B' > 'ABC' .AND. 'AB' < 'ABC' .AND. 'ABCD' >= 'ABC' .AND. 'ABCD' <= 'ABC'", ".T."},
      {"'dú' $ NEGOCIO .AND. !('' $ NEGOCIO)", ".T."},
      {"FECHA > {^2026-01-01} .AND. VACIA < FECHA", ".T."},
      {".T. .OR. 1/0 = 1", ".T."},
      {".F. .AND. .T. .OR. .T.", ".T."},  // .AND. binds tighter.
      {".NOT. .F. = .T.", ".T."},
  };
  const MemoryFieldSource row = sample_row();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const Expression expression = compile_ok(c.text, row);
    EXPECT_EQ(show(expression.evaluate(row)), c.result);
  }
}

TEST(Expression, KnowsItsResultTypeWithoutARow) {
  struct Case {
    std::string_view text;
    ResultKind kind;
    int width;
  };
  constexpr Case kCases[] = {
      {"NEGOCIO", ResultKind::Text, 15},
      {"NEGOCIO+CODIGO", ResultKind::Text, 25},
      {"NEGOCIO+DTOS(FECHA)", ResultKind::Text, 23},
      {"STR(MONTO,12,2)", ResultKind::Text, 12},
      {"STR(ENVIADO,1)+STR(ENVIADO,1)+DTOS(FECHA)+HORA", ResultKind::Text, 18},
      {"STR(MONTO)", ResultKind::Text, 12},
      {"STR(ENVIADO * 2)", ResultKind::Text, 10},
      {"UPPER(CODIGO)", ResultKind::Text, 10},
      {"LEFT(NEGOCIO, 4)", ResultKind::Text, 4},
      {"SUBSTR(NEGOCIO, 3, 5)", ResultKind::Text, 5},
      {"SUBSTR(NEGOCIO, 3)", ResultKind::Text, 13},
      {"PADR(TRIM(NEGOCIO), 20)", ResultKind::Text, 20},
      {"TRIM(NEGOCIO)", ResultKind::Text, 15},  // Keys of trimmed text are padded back.
      {"IIF(ACTIVO, CODIGO, NEGOCIO)", ResultKind::Text, 15},
      {"DESCEND(DTOS(FECHA))", ResultKind::Text, 8},
      {"DESCEND(FECHA)", ResultKind::Number, 8},
      {"TRANSFORM(MONTO, '9,999.99')", ResultKind::Text, 8},
      {"FECHA", ResultKind::Date, 8},
      {"FECHA + 1", ResultKind::Date, 8},
      {"MONTO", ResultKind::Number, 12},
      {"ACTIVO", ResultKind::Logical, 1},
      {"ENVIADO = 0", ResultKind::Logical, 1},
      {"'abc'", ResultKind::Text, 3},
      {"'ñandú'", ResultKind::Text, 5},  // Characters, as stored.
  };
  const MemoryFieldSource row = sample_row();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const Expression expression = compile_ok(c.text, row);
    EXPECT_EQ(expression.result_kind(), c.kind);
    EXPECT_EQ(expression.result_width(), c.width);
  }
}

TEST(Expression, RefusesWhatItCannotCompileWithAClearError) {
  struct Case {
    std::string_view text;
    int code;
    std::string_view message;
  };
  constexpr Case kCases[] = {
      {"", kExprSyntaxError, "empty expression"},
      {"NEGOCIO+", kExprSyntaxError, "missing operand at the end"},
      {"(NEGOCIO", kExprSyntaxError, "missing ')'"},
      {"NEGOCIO)", kExprSyntaxError, "unexpected ')' at position 8"},
      {"'abc", kExprSyntaxError, "unclosed text at position 1"},
      {"{^2026-02-30}", kExprSyntaxError, "invalid date"},
      {"NEGOCIO @ 1", kExprSyntaxError, "unexpected character '@' at position 9"},
      {".MAYBE.", kExprSyntaxError, "unknown word .MAYBE."},
      {"NEGOCIO+NOEXISTE", kExprUnknownField, "unknown field NOEXISTE at position 9"},
      {"OTRA->NEGOCIO", kExprUnknownField, "unknown field OTRA->NEGOCIO"},
      {"FOO(NEGOCIO)", kExprUnknownFunction, "unknown function FOO()"},
      {"STR()", kExprBadArgumentCount, "STR() takes 1 to 3 arguments, not 0"},
      {"DTOS(FECHA, 1)", kExprBadArgumentCount, "DTOS() takes 1 arguments, not 2"},
      {"NEGOCIO + MONTO", kExprTypeMismatch, "+ between C and N at position 9"},
      {"DTOS(NEGOCIO)", kExprTypeMismatch, "DTOS() needs D as argument 1, not C"},
      {"IIF(ACTIVO, 1, 'a')", kExprTypeMismatch, "IIF with branches of types N and C"},
      {"NEGOCIO .AND. ACTIVO", kExprTypeMismatch, ".AND. between C and L"},
      {"!NEGOCIO", kExprTypeMismatch, ".NOT. of C"},
      {"-NEGOCIO", kExprTypeMismatch, "- of C"},
      {"FECHA + FECHA", kExprTypeMismatch, "+ between D and D"},
      {"NEGOCIO < 1", kExprTypeMismatch, "< between C and N"},
  };
  const MemoryFieldSource row = sample_row();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const Result<Expression> expression = Expression::compile(c.text, row);
    ASSERT_FALSE(expression);
    EXPECT_EQ(expression.error().code, c.code);
    EXPECT_NE(expression.error().text.find(c.message), std::string::npos) << expression.error().text;
    // The expression itself is quoted, so a log line shows which tag or filter failed.
    EXPECT_NE(expression.error().text.find("\"" + std::string(c.text) + "\""), std::string::npos);
  }
  EXPECT_FALSE(Expression::compile(std::string(10000, '('), row));
  EXPECT_FALSE(Expression::compile(std::string(150, '(') + "1" + std::string(150, ')') + "+", row));
}

// A source whose row does not hold what its fields declare: a fault of the table layer.
class LyingSource final : public FieldSource {
 public:
  int field_index(std::string_view, std::string_view name) const override { return name == "MONTO" ? 0 : -1; }
  FieldInfo field_info(int) const override { return {'N', 12, 2}; }
  Value field(int) const override { return Value("12.50"); }
  bool deleted() const override { return false; }
  std::uint32_t recno() const override { return 1; }
};

TEST(Expression, ReportsARunTimeTypeFaultWithTheExpression) {
  const LyingSource source;
  const Expression expression = compile_ok("STR(MONTO, 12, 2)", source);
  try {
    (void)expression.evaluate(source);
    FAIL() << "no RuntimeError";
  } catch (const RuntimeError& error) {
    EXPECT_NE(error.detail().find("\"STR(MONTO, 12, 2)\""), std::string::npos) << error.what();
    EXPECT_NE(error.detail().find("MONTO"), std::string::npos);
  }
}

TEST(Expression, BuildsKeyBytesInTheTableCodePage) {
  struct Case {
    std::string_view text, hex;
  };
  constexpr Case kCases[] = {
      {"UPPER(NEGOCIO)", "d1414e44da20202020202020202020"},  // ÑANDÚ in Windows-1252, padded.
      {"DESCEND(DTOS(FECHA))", "ced0cecacfcecfcf"},          // Each byte b as 256 - b.
      {"DESCEND(DTOS(VACIA))", "e0e0e0e0e0e0e0e0"},          // The blank date sorts last.
      {"TRIM(CODIGO)", "636f6430303034322020"},              // Trimmed keys are padded back.
      {"IIF(ACTIVO, DESCEND('A'), 'B')", "bf"},
  };
  MemoryFieldSource row = sample_row();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const Expression expression = compile_ok(c.text, row);
    std::string key;
    expression.key(row, key);
    std::string hex;
    for (const char byte : key) {
      char pair[3];
      std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(byte));
      hex += pair;
    }
    EXPECT_EQ(hex.substr(0, c.hex.size()), c.hex);
    EXPECT_EQ(key.size(), static_cast<std::size_t>(expression.result_width()));
  }
  EXPECT_TRUE(compile_ok("DESCEND(DTOS(FECHA))", row).is_descend());
  EXPECT_FALSE(compile_ok("DTOS(FECHA)", row).is_descend());
  EXPECT_DOUBLE_EQ(compile_ok("DESCEND(FECHA)", row).evaluate_number(row),
                   5231808.0 - Date::from_ymd(2026, 12, 11).julian());
  EXPECT_DOUBLE_EQ(compile_ok("DESCEND(MONTO)", row).evaluate_number(row), 426.69);
}

TEST(Expression, BoundsTheTextsItBuilds) {
  // Hostile widths in a damaged index header must not exhaust memory.
  struct Case {
    std::string_view text;
    std::size_t length;
  };
  constexpr Case kCases[] = {
      {"SPACE(70000)", 65535},
      {"REPLICATE('ab', 1000000)", 65534},
      {"REPLICATE(REPLICATE('ab', 1000000), 1000000)", 65534},
      {"PADR('x', 1000000000)", 65535},
      {"STR(1, 1000000000)", 65535},
      {"SPACE(-5)", 0},
  };
  const MemoryFieldSource row = sample_row();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.text);
    const Expression expression = compile_ok(c.text, row);
    std::string text;
    expression.evaluate_text(row, text);
    EXPECT_EQ(text.size(), c.length);
    EXPECT_LE(expression.result_width(), 65535);
  }
  std::string padded;
  compile_ok("PADL('a', 3, 'ñ')", row).evaluate_text(row, padded);
  EXPECT_EQ(padded, "  a");  // A fill that is not one stored byte pads with blanks.
}

TEST(Expression, FastAccessorsMatchEvaluate) {
  const MemoryFieldSource row = sample_row();
  std::string text = "left over";
  compile_ok("NEGOCIO+DTOS(FECHA)", row).evaluate_text(row, text);
  EXPECT_EQ(text, "ñandú          20261211");
  EXPECT_DOUBLE_EQ(compile_ok("MONTO * 2", row).evaluate_number(row), -853.38);
  EXPECT_EQ(compile_ok("FECHA + 1", row).evaluate_date(row), Date::from_ymd(2026, 12, 12));
  EXPECT_TRUE(compile_ok("ACTIVO", row).evaluate_logical(row));
}

}  // namespace
}  // namespace data
