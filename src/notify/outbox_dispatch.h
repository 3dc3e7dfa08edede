#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/clock.h"
#include "data/program_folder.h"
#include "data/wdbtable.h"

namespace notify {

// The display fields of the Notification Center that the dispatch step writes.
inline constexpr int kFieldPending = 500;     // "Pendientes:", picture "999,999,999".
inline constexpr int kFieldStatus = 501;      // "Status:".
inline constexpr int kFieldSent = 503;        // "Enviados:", nSent, picture "9,999,999,999".
inline constexpr int kFieldErrors = 504;      // "Errores:", nError, picture "9,999,999,999".
inline constexpr int kFieldLastCode = 505;    // Last engine error code, right-aligned in 10.
inline constexpr int kFieldLastCodeAt = 506;  // Date and time of that error, "dd/mm/yy HH:MM:SS".

// What the dispatch step asks of the window that runs it (the Center). The step never sees the
// dialog class, so the Center implements this and tests and benchmarks record or ignore it.
class DispatchHost {
 public:
  virtual ~DispatchHost() = default;
  // Writes the text of display field `id` (one of the kField constants).
  virtual void set_field_text(int id, const std::string& text) = 0;
  // Sets the title of the main window (XAPPHANDLE).
  virtual void set_main_title(const std::string& text) = 0;
  // Whether the main window is minimised at this moment; asked again at every use.
  virtual bool is_main_iconic() const = 0;
  // Repaints the Center's window.
  virtual void repaint() = 0;
  // WRITE_TRACE(fnTrace, label): does nothing while no trace file is open.
  virtual void trace(std::string_view label) = 0;
  // MULTITASK with `rounds` rounds: timers and other handlers may run inside.
  virtual void multitask(int rounds) = 0;
  // HEARTBEAT("MAILSERV", XDATE(), XTIME()).
  virtual void heartbeat() = 0;
};

// One outbox row as the SMTP side sends it: the arguments of SENDMAILQUARVELT, with texts trimmed.
struct OutboxMessage {
  std::string to;
  std::string cc1;
  std::string cc2;
  std::string subject;
  std::string body;         // "@" + the body file name in MAIL/SEND/, or the plain body text.
  std::string images;       // Comma-separated names in HTML/.
  std::string attachments;  // Comma-separated names in `attachment_folder`.
  std::string attachment_folder;
  int delete_attachments = 0;  // HTML_DEL_A.
  std::string sender_address;
  std::string sender_name;
  // The E2_MSGS files of the row (full paths), sent as further attachments after `attachments`.
  std::vector<std::string> extra_attachments;
};

// The SMTP conversation of one dispatch pass. Results follow the mail operations: 0 or more is
// success, a negative number the engine's error code.
class OutboxTransport {
 public:
  virtual ~OutboxTransport() = default;
  // CONNECTSEE, loading the engine and staying quiet. After a failure the engine is released.
  virtual int connect() = 0;
  // SENDMAILQUARVELT over the open connection; after a successful send of a body file the body
  // file is gone (and the attachments, when the row asks for it); after a failure every file stays.
  virtual int send(const OutboxMessage& message) = 0;
  // DISCONNECTSEE: closes the connection and releases the engine.
  virtual void disconnect() = 0;
};

// The Center's state and handles the dispatch step works on; every member is the Center's.
struct DispatchContext {
  DispatchHost& host;
  data::WDBTable& E_MSGS2;  // The outbox, in order E_MSGS4 (status digits first).
  data::WDBTable& E2_MSGS;  // Extra attachments, in order E2_MSGS (NEGOCIO + MAIL).
  OutboxTransport& transport;
  const data::Clock& clock;     // XDATE() and XTIME().
  data::ProgramFolder folder;   // Where relative E2_MSGS file names are found.
  std::string_view XEMAILHOST;  // Shown when the connection fails.
  std::string_view XEMAILADDR;
  int& nSent;
  int& nError;
  int& in_sending;
};

// The last step of DO_MAIL: counts the waiting rows, and when there are any connects once and
// sends up to ten ready rows (ENVIADO 0, LISTO 1) in queue order, stopping at the first failure.
// A sent row gets ENVIADO 1 with F_ENVIO/H_ENVIO; a failed one ERR_COUNT + 1 and ERR_TEXT, and
// ENVIADO 2 at its fifth failure. Rows change only under their record lock, one locked update each,
// so a process killed half-way leaves every row as it was or fully updated; the one row whose send
// was accepted but not yet marked is sent again by the next pass. Writes the heartbeat on every
// pass of the loop and the Center's fields, title and counters as it goes.
//
// Pumps messages (host.multitask) before each send, so timers may run inside. in_sending is 0
// again on every return, a thrown RuntimeError included; the connection is closed then too.
void dispatch_outbox(const DispatchContext& context);

}  // namespace notify
