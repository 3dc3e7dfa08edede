#include "data/date_words.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(DateWords, NamesDaysInFullAndInTwoLetters) {
  const std::string_view kFull[] = {"DOMINGO", "LUNES", "MARTES", "MIERCOLES", "JUEVES", "VIERNES", "SABADO"};
  const std::string_view kShort[] = {"DO", "LU", "MA", "MI", "JU", "VI", "SA"};
  for (int day = 1; day <= 7; ++day) {
    SCOPED_TRACE(day);
    EXPECT_EQ(DIAS_EN_LETRAS(day), kFull[day - 1]);
    EXPECT_EQ(DIAS_EN_LETRAS(day, 1), kShort[day - 1]);
  }
}

TEST(DateWords, NamesMonthsInBothLanguages) {
  struct Case {
    int month;
    std::string_view spanish, english, spanish_short, english_short;
  };
  constexpr Case kCases[] = {
      {1, "ENERO", "JANUARY", "ENE", "JAN"},
      {2, "FEBRERO", "FEBRUARY", "FEB", "FEB"},
      {3, "MARZO", "MARCH", "MAR", "MAR"},
      {4, "ABRIL", "APRIL", "ABR", "APR"},
      {5, "MAYO", "MAY", "MAY", "MAY"},
      {6, "JUNIO", "JUNE", "JUN", "JUN"},
      {7, "JULIO", "JULY", "JUL", "JUL"},
      {8, "AGOSTO", "AUGUST", "AGO", "AUG"},
      {9, "SETIEMBRE", "SEPTEMBER", "SET", "SEP"},
      {10, "OCTUBRE", "OCTOBER", "OCT", "OCT"},
      {11, "NOVIEMBRE", "NOVEMBER", "NOV", "NOV"},
      {12, "DICIEMBRE", "DECEMBER", "DIC", "DEC"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.month);
    EXPECT_EQ(MES_EN_LETRAS(c.month), c.spanish);  // Spanish is the default language.
    EXPECT_EQ(MES_EN_LETRAS(c.month, 2), c.english);
    EXPECT_EQ(MES_EN_LETRAS_CORTO(c.month), c.spanish_short);
    EXPECT_EQ(MES_EN_LETRAS_CORTO(c.month, 2), c.english_short);
  }
}

TEST(DateWords, GivesElevenHyphensOutsideTheTables) {
  EXPECT_EQ(DIAS_EN_LETRAS(8), "-----------");
  EXPECT_EQ(DIAS_EN_LETRAS(0), "-----------");
  EXPECT_EQ(DIAS_EN_LETRAS(3, 2), "-----------");  // Unknown form.
  EXPECT_EQ(MES_EN_LETRAS(13), "-----------");
  EXPECT_EQ(MES_EN_LETRAS(0, 2), "-----------");
  EXPECT_EQ(MES_EN_LETRAS(5, 3), "-----------");  // Unknown language.
  EXPECT_EQ(MES_EN_LETRAS_CORTO(-1), "-----------");
  EXPECT_EQ(MES_EN_LETRAS_CORTO(1, 0), "-----------");
}

}  // namespace
}  // namespace data
