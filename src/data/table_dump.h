#pragma once

#include <string>

namespace data {

class DbfTable;

// The text form of a field for dumps and tools: C trimmed of trailing blanks, D as
// YYYY-MM-DD (empty when blank), N and F exactly as stored without surrounding blanks, L
// as stored (T or F), M as the memo text. Backslash, TAB, CR and LF are written as \\,
// \t, \r and \n so each record stays one line. Throws RuntimeError when a memo cannot be
// read.
std::string dump_field(const DbfTable& table, int pos);
// One dump line of the current record: record number, '*' when deleted else '-', then
// every field, separated by TABs, without a line end.
std::string dump_line(const DbfTable& table);

}  // namespace data
