#pragma once

#include <string>
#include <string_view>

namespace data {

// The day and month words of the mails and reports: upper case, without accents.

// What every word function gives for a day, month, form or language outside its table.
inline constexpr std::string_view kNoWord = "-----------";

// "DOMINGO" … "SABADO" for 1 (Sunday) … 7 (Saturday); with `form` 1 the two-letter "DO" … "SA".
std::string DIAS_EN_LETRAS(int day_of_week, int form = 0);
// "ENERO" … "DICIEMBRE" (language 1, Spanish) or "JANUARY" … "DECEMBER" (language 2, English).
std::string MES_EN_LETRAS(int month, int language = 1);
// "ENE" … "DIC" or "JAN" … "DEC".
std::string MES_EN_LETRAS_CORTO(int month, int language = 1);

}  // namespace data
