#include "data/wdbtable.h"

#include "data/runtime_error.h"

namespace data {

void WDBTable::fail(std::string_view operation, const Error& error) const {
  throw RuntimeError(std::string(operation), RDD.empty() ? "DBFCDX" : RDD, Name + ": " + error.text);
}

bool WDBTable::Append() {
  Result<void> ok = table().append();
  if (ok) return true;
  if (has_code(ok.error(), TableErrorCode::Locked)) return false;
  fail("Append", ok.error());
}

void WDBTable::Commit() {
  if (Result<void> ok = table().flush(); !ok) fail("Commit", ok.error());
}

ValueList WDBTable::DBStruct() const {
  ValueList out;
  for (const FieldSpec& field : table().structure()) {
    out.emplace_back(ValueList{Value(field.name), Value(std::string(1, field.type)), Value(field.width),
                               Value(field.decimals)});
  }
  return out;
}

void WDBTable::Delete() {
  if (Result<void> ok = table().delete_record(); !ok) fail("Delete", ok.error());
}

bool WDBTable::Eof() const { return table().eof(); }
bool WDBTable::Bof() const { return table().bof(); }
int WDBTable::FCount() const { return table().field_count(); }
Value WDBTable::FieldGet(int position) const { return table().get(position); }
Value WDBTable::FieldGet(std::string_view name) const { return table().get(name); }

std::string WDBTable::FieldName(int position) const {
  if (position < 1 || position > table().field_count()) return "";
  return table().field(position).name;
}

int WDBTable::FieldPos(std::string_view name) const { return table().field_pos(name); }

Value WDBTable::FieldPut(int position, const Value& value) {
  if (Result<void> ok = table().put(position, value); !ok) fail("FieldPut", ok.error());
  return value;
}

Value WDBTable::FieldPut(std::string_view name, const Value& value) {
  if (table().field_pos(name) == 0)
    throw RuntimeError("FieldPut", RDD, Name + " has no field " + std::string(name));
  if (Result<void> ok = table().put(name, value); !ok) fail("FieldPut", ok.error());
  return value;
}

bool WDBTable::FLock() { return table().lock_file(); }
bool WDBTable::Found() const { return table().found(); }

void WDBTable::GoTop() {
  if (Result<void> ok = table().go_top(); !ok) fail("GoTop", ok.error());
}
void WDBTable::GoBottom() {
  if (Result<void> ok = table().go_bottom(); !ok) fail("GoBottom", ok.error());
}
void WDBTable::GoTo(std::uint32_t recno) {
  if (Result<void> ok = table().go_to(recno); !ok) fail("GoTo", ok.error());
}

std::uint32_t WDBTable::LastRec() const { return table().last_rec(); }
std::uint32_t WDBTable::RecNo() const { return table().rec_no(); }
bool WDBTable::RLock() { return table().lock_current(); }

bool WDBTable::Seek(const Value& key, bool soft) {
  Result<bool> found = table().seek(key, soft ? SeekMode::Soft : SeekMode::Exact);
  if (!found) fail("Seek", found.error());
  return *found;
}

void WDBTable::Skip(long count) {
  if (Result<void> ok = table().skip(count); !ok) fail("Skip", ok.error());
}

void WDBTable::Unlock() {
  if (Result<void> ok = table().unlock(); !ok) fail("Unlock", ok.error());
}

bool WDBTable::Used() const { return is_open(); }

void WDBTable::set_order(std::string_view tag) {
  if (Result<void> ok = table().set_order(tag); !ok) fail("OrdSetFocus", ok.error());
}

void KILLTABLA(WDBTable* handle, bool /*keep*/) {
  if (handle) handle->Axit();
}

}  // namespace data
