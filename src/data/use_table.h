#pragma once

#include <any>
#include <memory>
#include <string>
#include <string_view>

#include "data/date.h"
#include "data/wdbtable.h"
#include "data/wtable_session.h"

namespace data {

// The optional arguments of USE, after owner, name and order.
struct UseOptions {
  bool shared = true;
  bool readonly = false;
  std::string folder = "BASES\\";  // Sub-folder of the base folder.
  std::string driver;              // Empty: the session's DEF_RDD.
  bool fixed = false;              // True: the base folder is `basepath`, and no sub-base applies.
  std::string basepath;
};

// Opens a table by name in a fresh work area, makes `order` its controlling order (blank for the
// natural order), selects the area and returns the handle.
//
// `name` is at most 8 characters before an optional extension (longer names are cut); a table in the
// user's data sub-base folder overrides the common one. A name with an extension ("TMP_PTO.dbf")
// opens an empty private copy of the PROFILE/ template instead: "T" + 7 digits + "." + EXT_MODULO in
// TEMP/ (or the local temporary folder), with the template's index, opened exclusively and deleted
// when the handle closes.
//
// A table another program holds is retried every 100 ms without end; after 5 s each further failure
// first shows "No se puede abrir archivo: " + path, so the call can pump messages. A table file that
// does not exist, a template that is not empty, an unreadable file or a missing tag throw
// RuntimeError with the full path; nothing is left open or created then.
std::unique_ptr<WDBTable> USE(TableSession& session, std::any owner, std::string_view name,
                              std::string_view order = "", const UseOptions& options = {});

// SEEK_DATE of data/order_seek_date.h on the current area's table; a failed seek (no controlling
// order, an unreadable index) throws RuntimeError.
void SEEK_DATE(TableSession& session, std::string_view prefix, const Date& date);

// Waits `milliseconds` on the steady clock, processing no window messages.
void XDELAY(long milliseconds);

// The name of a private copy made at a moment of the day: "T" + the last 7 digits of the hundredths
// of seconds since midnight + "." + `extension`.
std::string private_copy_name(long hundredths_since_midnight, std::string_view extension);

}  // namespace data
