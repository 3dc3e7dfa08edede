#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/code_page.h"
#include "data/date.h"
#include "data/dbf_header.h"
#include "data/result.h"
#include "data/value.h"

namespace data {

// Reading and writing one field's bytes inside a record, the way the suite's other
// programs store them. Memo fields hold only a block pointer here; the memo text lives in
// the FPT file.

// The value of a non-memo field. Text is decoded from `page` and keeps its padding.
Value decode_value(const DbfField& field, std::string_view stored, CodePage page);
// N F I B Y as a number; 0 when blank or unreadable.
double decode_number(const DbfField& field, std::string_view stored);
// D; blank for spaces or zeros.
Date decode_date(std::string_view stored);
// L: T t Y y are true, everything else false.
bool decode_logical(std::string_view stored);
// T as "YYYY-MM-DD HH:MM:SS"; "" when empty.
std::string decode_datetime(std::string_view stored);
// The memo block a memo field points to; 0 when it has none.
std::uint32_t decode_memo_block(const DbfField& field, std::string_view stored);

// Stores `value` into `dest` (field.width bytes). Text is cut to the width in stored bytes
// and padded with blanks; numbers are right-aligned with the field's decimals. Fails,
// leaving `dest` unchanged, when the kind does not suit the field, a number is too wide,
// or the type is one this engine only reads (T, G, P, V, Q).
Result<void> encode_value(const DbfField& field, const Value& value, CodePage page, std::span<std::byte> dest);
// Stores a memo block pointer (0 for none) in the field's width: 10 digits or 4 bytes.
void encode_memo_block(const DbfField& field, std::uint32_t block, std::span<std::byte> dest);
// The bytes of an empty field of this type, as a new record holds them.
void blank_field(const DbfField& field, std::span<std::byte> dest);

// The number as N and F fields store it, or "" when it does not fit `width`.
std::string format_number(double value, int width, int decimals);

}  // namespace data
