#pragma once

#include "data/wdbtable.h"

namespace data {

// Which row a RecordLock holds.
enum class LockTarget { CurrentRecord, NewRecord };

// The lock on one row of a handle's work area, held for one change: the scoped form of
// LOCK_FOR_MODIFY (or ADD_NEW_REC) ... UNLOCK_FOR_MODIFY, with the same retries and busy messages
// and the same upkeep of the full-text index. The current work area is left as it was.
//
// The constructor returns only with the lock (for NewRecord, on a new blank record it appended); it
// can pump messages. Edits made through the handle while the lock is held reach the file only on
// commit(), which writes the row, updates every tag of the production index and unlocks. Leaving the
// scope without commit() (a run-time error half-way) drops the edits and unlocks, so no half-written
// row is ever stored; a dropped new record is left deleted.
// Requires: the handle stays open and on this row until commit() or destruction.
class RecordLock {
 public:
  explicit RecordLock(WDBTable& table, LockTarget target = LockTarget::CurrentRecord);
  ~RecordLock();
  RecordLock(const RecordLock&) = delete;
  RecordLock& operator=(const RecordLock&) = delete;

  void commit();

 private:
  WDBTable* m_table;  // Not owned; null once committed.
  LockTarget m_target;
};

}  // namespace data
