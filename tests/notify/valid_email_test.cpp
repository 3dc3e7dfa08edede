#include "notify/valid_email.h"

#include <gtest/gtest.h>

namespace notify {
namespace {

TEST(ValidEmail, AcceptsOnlyAddressesWithAtDotNoBlankAndMoreThanFourCharacters) {
  struct Case {
    std::string_view address;
    bool valid;
  };
  constexpr Case kCases[] = {
      {"a@b.c", true},                 // Five characters with both marks: the shortest accepted.
      {"@b.c", false},                 // Four characters are too few even with both marks.
      {"   a@b.c   ", true},           // Padding of a table field is trimmed first.
      {"ana lopez@hotel.com", false},  // An inner blank.
      {"ana@hotel", false},            // No dot.
      {"ana.hotel.com", false},        // No at sign.
      {"", false},
      {"ana@hotel.com\r\nBcc: x@y.z", false},  // A line break would start a header of its own.
      {"ana\t@hotel.com", false},              // A tab is a blank too.
      {"josé@hotél.com", true},                // Accented letters are characters like any other.
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << '"' << c.address << '"');
    EXPECT_EQ(VALID_EMAIL(c.address), c.valid);
  }
}

}  // namespace
}  // namespace notify
