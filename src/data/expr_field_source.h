#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/date.h"
#include "data/value.h"

namespace data {

// The type of an expression's result, spelled as an index tag's key type: C text,
// N number, D date, L logical.
enum class ResultKind : char { Text = 'C', Number = 'N', Date = 'D', Logical = 'L' };

// How a table declares one field: its type letter (C, N, F, I, B, Y, D, T, L, M…), its
// width in bytes of the table's code page, and its decimals.
struct FieldInfo {
  char type = 'C';
  int width = 0;
  int decimals = 0;
};

// The kind of value a field of this type letter yields; Text for memo and unknown letters.
ResultKind kind_of_field(char type);

// What an expression reads: the fields of the current row of one work area. The table
// engine implements it; an expression is bound to one source when it is compiled (names
// are resolved then, once) and evaluated against it, row after row.
//
// Text crosses this interface as UTF-8, as everywhere in the program. Widths are in the
// table's stored bytes, which are also its characters, since every code page a table uses
// stores one character per byte.
class FieldSource {
 public:
  virtual ~FieldSource() = default;

  // Position of the field `name` (any case), reached as `alias->name` or, with an empty
  // alias, by its name alone; -1 when this work area has no such field or answers to
  // another alias.
  virtual int field_index(std::string_view alias, std::string_view name) const = 0;
  // Requires: index came from field_index.
  virtual FieldInfo field_info(int index) const = 0;
  // The field's value on the current row: Text (blank-padded to its width), Number,
  // Date or Logical, as kind_of_field(field_info(index).type) says.
  virtual Value field(int index) const = 0;
  // Appends the text of a text field, as field(index).text() would give it. Sources that
  // hold the row's bytes override it to skip building a Value.
  virtual void append_field_text(int index, std::string& out) const;
  // Whether the current row is marked deleted (DELETED()).
  virtual bool deleted() const = 0;
  // The current row number (RECNO()).
  virtual std::uint32_t recno() const = 0;
  // Today for DATE(); the blank date unless the source is given a clock.
  virtual Date today() const;
  // `text` in the table's code page, the bytes index keys are built from; each character
  // the code page lacks becomes "?". Windows-1252 unless the source overrides it with its
  // own code page (encode_text of data/code_page.h).
  virtual std::string stored_text(std::string_view text) const;
  // Appends stored_text(text) to `out`; sources with their own code page override both.
  virtual void append_stored_text(std::string_view text, std::string& out) const;
};

}  // namespace data
