#pragma once

#include <string>

#include "data/wtable_session.h"

namespace data {

class WDBTable;

// Every change to a shared row is: lock (or append), assign fields, unlock. These calls act on the
// current work area and its current record; they never fail: each retries every 100 ms for as long
// as another program holds the row, and after 5 s tells the operator which table is busy before each
// further try, so they can pump messages. They re-select their area (and the unlock its record) on
// every attempt, because handlers that run meanwhile may move elsewhere. The locking and unlocking
// calls also keep the full-text word index of registered tables up to date.
//
// A handle argument is accepted, as the business code passes one, and not used.
void LOCK_FOR_MODIFY(TableSession& session, const WDBTable* unused = nullptr);
void UNLOCK_FOR_MODIFY(TableSession& session, const WDBTable* unused = nullptr);
void UNLOCK_NEW_REC(TableSession& session);
void UNLOCK_NEW(TableSession& session);
// Appends a blank record; it becomes current and stays locked.
void ADD_NEW_REC(TableSession& session);

// The same on a given work area; the current area is left as it was.
void lock_for_modify(TableSession& session, int area);
void unlock_for_modify(TableSession& session, int area);
void add_new_rec(TableSession& session, int area);

// The word-index hook: in mode 1 removes the words of the area's current record from the index, in
// mode 2 adds them. Does nothing unless the area's table is registered and the index object exists.
void CHECK_TXT_SEARCH(TableSession& session, int area, int mode);

// The busy message of a work area: "El dato se encuentra bloqueado: " + alias, and for tables opened
// with the server's "ADSCDX" driver also "/" + the record number as STR prints it.
std::string busy_message(TableSession& session, int area);

}  // namespace data
