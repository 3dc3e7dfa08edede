#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/value.h"
#include "data/wtable.h"

namespace data {

// The table handle the business code works with: short operations on the handle's own work area,
// which never change the current area. Reads and moves work on any open handle; writing a field
// needs the record lock (LOCK_FOR_MODIFY, ADD_NEW_REC or a RecordLock) or the file lock.
//
// Errors of the storage (an unreadable record, a field the table lacks, a write without the lock)
// throw RuntimeError naming the table; a lock that another program holds is a false result.
class WDBTable : public WTable {
 public:
  explicit WDBTable(TableSession& session) : WTable(session) {}

  // Appends a blank record, makes it current and locks it. False when another program holds the
  // append lock.
  bool Append();
  void Commit();
  // One {name, type, width, decimals} list per field.
  ValueList DBStruct() const;
  void Delete();
  // End and beginning of the table. (Spelled Eof and Bof: EOF is a macro of the C library.)
  bool Eof() const;
  bool Bof() const;
  int FCount() const;
  Value FieldGet(int position) const;
  Value FieldGet(std::string_view name) const;
  std::string FieldName(int position) const;
  int FieldPos(std::string_view name) const;
  Value FieldPut(int position, const Value& value);
  Value FieldPut(std::string_view name, const Value& value);
  bool FLock();
  bool Found() const;
  void GoTop();
  void GoBottom();
  void GoTo(std::uint32_t recno);
  std::uint32_t LastRec() const;
  std::uint32_t RecCount() const { return LastRec(); }
  std::uint32_t RecNo() const;
  void _RecNo(std::uint32_t recno) { GoTo(recno); }
  bool RLock();
  // Exact unless `soft`: see DbfTable::seek.
  bool Seek(const Value& key, bool soft = false);
  void Skip(long count = 1);
  void Unlock();
  bool Used() const;

  // handle:AREA->FIELD, read and written by name.
  Value get(std::string_view field) const { return FieldGet(field); }
  void put(std::string_view field, const Value& value) { FieldPut(field, value); }
  // Makes the tag of that name the controlling order ("" for physical order). Throws RuntimeError
  // when the index has no such tag.
  void set_order(std::string_view tag);

 private:
  [[noreturn]] void fail(std::string_view operation, const Error& error) const;
};

// Closes a handle early; an empty handle is ignored. `keep` is reserved and has no effect.
void KILLTABLA(WDBTable* handle, bool keep = false);

}  // namespace data
