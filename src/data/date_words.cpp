#include "data/date_words.h"

#include <array>

namespace data {
namespace {

constexpr std::array<std::string_view, 7> kDays = {"DOMINGO", "LUNES",   "MARTES", "MIERCOLES",
                                                   "JUEVES",  "VIERNES", "SABADO"};

// Indexed by language − 1, then month − 1.
constexpr std::array<std::array<std::string_view, 12>, 2> kMonths = {{
    {"ENERO", "FEBRERO", "MARZO", "ABRIL", "MAYO", "JUNIO", "JULIO", "AGOSTO", "SETIEMBRE", "OCTUBRE",
     "NOVIEMBRE", "DICIEMBRE"},
    {"JANUARY", "FEBRUARY", "MARCH", "APRIL", "MAY", "JUNE", "JULY", "AUGUST", "SEPTEMBER", "OCTOBER",
     "NOVEMBER", "DECEMBER"},
}};
constexpr std::array<std::array<std::string_view, 12>, 2> kShortMonths = {{
    {"ENE", "FEB", "MAR", "ABR", "MAY", "JUN", "JUL", "AGO", "SET", "OCT", "NOV", "DIC"},
    {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"},
}};

std::string month_word(const std::array<std::array<std::string_view, 12>, 2>& table, int month,
                       int language) {
  if (language < 1 || language > 2 || month < 1 || month > 12) return std::string(kNoWord);
  return std::string(table[language - 1][month - 1]);
}

}  // namespace

std::string DIAS_EN_LETRAS(int day_of_week, int form) {
  if (day_of_week < 1 || day_of_week > 7 || (form != 0 && form != 1)) return std::string(kNoWord);
  const std::string_view word = kDays[day_of_week - 1];
  return std::string(form == 1 ? word.substr(0, 2) : word);
}

std::string MES_EN_LETRAS(int month, int language) { return month_word(kMonths, month, language); }

std::string MES_EN_LETRAS_CORTO(int month, int language) { return month_word(kShortMonths, month, language); }

}  // namespace data
