#include "data/record_lock.h"

#include "data/record_change.h"
#include "data/runtime_error.h"

namespace data {

RecordLock::RecordLock(WDBTable& table, LockTarget target) : m_table(&table), m_target(target) {
  if (target == LockTarget::NewRecord)
    add_new_rec(table.session(), table.Area);
  else
    lock_for_modify(table.session(), table.Area);
}

RecordLock::~RecordLock() {
  if (!m_table || !m_table->is_open()) return;
  DbfTable& table = m_table->table();
  table.discard_changes();
  if (m_target == LockTarget::NewRecord) (void)table.delete_record();
  try {
    unlock_for_modify(m_table->session(), m_table->Area);
  } catch (const RuntimeError&) {
    // Already unwinding from the error that stopped the change; the table's own close releases
    // the lock at the latest.
  }
}

void RecordLock::commit() {
  if (!m_table) return;
  WDBTable* table = m_table;
  m_table = nullptr;
  unlock_for_modify(table->session(), table->Area);
}

}  // namespace data
