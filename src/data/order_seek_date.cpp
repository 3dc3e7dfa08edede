#include "data/order_seek_date.h"

#include <string>

namespace data {

Result<void> SEEK_DATE(DbfTable& table, std::string_view prefix, const Date& date) {
  const Result<bool> sought = table.seek(Value(std::string(prefix) + DTOS(date)), SeekMode::Soft);
  if (!sought) return sought.error();
  return {};
}

}  // namespace data
