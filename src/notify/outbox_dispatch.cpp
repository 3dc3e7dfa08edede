#include "notify/outbox_dispatch.h"

#include <cstdio>
#include <system_error>

#include "data/date.h"
#include "data/number_format.h"
#include "data/record_lock.h"
#include "data/text.h"

namespace notify {

namespace {

// At most this many send attempts in one pass, so one cycle never stays long in the SMTP server.
constexpr int kMaxAttemptsPerPass = 10;
// The failure that gives a row up.
constexpr int kGiveUpAfterFailures = 5;

// Puts in_sending back to 0 and closes an open connection however the step ends, a thrown
// RuntimeError included: a flag left at 1 would stop every later cycle at its first line.
class PassGuard {
 public:
  PassGuard(const DispatchContext& context) : m_context(context) {}
  ~PassGuard() {
    if (m_connected) m_context.transport.disconnect();
    m_context.in_sending = 0;
  }
  PassGuard(const PassGuard&) = delete;
  PassGuard& operator=(const PassGuard&) = delete;
  void set_connected(bool connected) { m_connected = connected; }

 private:
  const DispatchContext& m_context;
  bool m_connected = false;
};

std::string text_of(const data::WDBTable& table, std::string_view field) {
  const data::Value value = table.get(field);
  return value.is_text() ? value.text() : std::string();
}

long number_of(const data::WDBTable& table, std::string_view field) {
  const data::Value value = table.get(field);
  return value.is_number() ? static_cast<long>(value.number()) : 0;
}

// The engine code as the outbox row and field 505 show it: decimal, right-aligned in 10.
std::string code_in_ten(int code) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d", code);
  return text;
}

std::string now_text(const data::Clock& clock) { return data::DTOC(clock.today()) + " " + clock.time_of_day(); }

void show_counters(const DispatchContext& c) {
  c.host.set_field_text(kFieldSent, data::format_picture(c.nSent, "9,999,999,999"));
  c.host.set_field_text(kFieldErrors, data::format_picture(c.nError, "9,999,999,999"));
}

// The rows counted in "Pendientes:": every row whose ENVIADO is 0, ready or not. The seek lands
// on the first of them, so sent and given-up rows are never read.
long long count_waiting(data::WDBTable& msgs) {
  long long count = 0;
  msgs.Seek(data::Value("0"));
  while (!msgs.Eof() && number_of(msgs, "ENVIADO") == 0) {
    ++count;
    msgs.Skip();
  }
  return count;
}

// Whether `name` is a full path, in either spelling a program of the suite may have stored.
bool is_absolute_name(std::string_view name) {
  return !name.empty() && (name.front() == '/' || name.front() == '\\');
}

// Where an E2_MSGS file is: a full path as it is; a relative one in the program folder (names
// like "TEMP\T1234567.XLSX"), else beside the row's own attachments.
std::string extra_attachment_path(const DispatchContext& c, const std::string& name,
                                  const std::string& attachment_folder) {
  std::error_code ec;
  if (is_absolute_name(name)) return c.folder.find(name).string();
  std::filesystem::path path = std::filesystem::absolute(c.folder.find(name), ec);
  if (!std::filesystem::exists(path, ec)) {
    const std::filesystem::path beside =
        attachment_folder.empty() ? c.folder.find("HTML/" + name) : c.folder.find(attachment_folder + "/" + name);
    if (std::filesystem::exists(beside, ec)) path = std::filesystem::absolute(beside, ec);
  }
  return path.string();
}

// The ARCHIVO names of the E2_MSGS rows of the current outbox row. Rows without a message key
// (plain error reports) have none: a blank key would match every blank E2_MSGS row.
std::vector<std::string> extra_attachments(const DispatchContext& c, const std::string& attachment_folder) {
  std::vector<std::string> files;
  const std::string negocio = text_of(c.E_MSGS2, "NEGOCIO");
  const std::string mail = text_of(c.E_MSGS2, "MAIL");
  if (data::ALLTRIM(mail).empty()) return files;
  data::WDBTable& extras = c.E2_MSGS;
  extras.Seek(data::Value(negocio + mail));
  while (!extras.Eof() && data::exact_equals(text_of(extras, "NEGOCIO"), negocio) &&
         data::exact_equals(text_of(extras, "MAIL"), mail)) {
    const std::string name = data::ALLTRIM(text_of(extras, "ARCHIVO"));
    if (!name.empty()) files.push_back(extra_attachment_path(c, name, attachment_folder));
    extras.Skip();
  }
  return files;
}

// An attachment list stored with a trailing comma would name an empty file; that one comma goes,
// in the row too, so the log shows what was sent.
std::string attachments_without_trailing_comma(data::WDBTable& msgs) {
  std::string attachments = data::ALLTRIM(text_of(msgs, "HTML_ATTCH"));
  if (!attachments.empty() && attachments.back() == ',') {
    attachments.pop_back();
    data::RecordLock lock{msgs};
    msgs.put("HTML_ATTCH", data::Value(attachments));
    lock.commit();
  }
  return attachments;
}

OutboxMessage message_of_row(const DispatchContext& c, std::string attachments) {
  data::WDBTable& msgs = c.E_MSGS2;
  OutboxMessage m;
  m.to = data::ALLTRIM(text_of(msgs, "TO_USER"));
  m.cc1 = data::ALLTRIM(text_of(msgs, "CC1"));
  m.cc2 = data::ALLTRIM(text_of(msgs, "CC2"));
  m.subject = data::ALLTRIM(text_of(msgs, "SUBJECT"));
  const std::string body_file = data::ALLTRIM(text_of(msgs, "HTML_FILE"));
  if (!body_file.empty()) {
    m.body = "@" + body_file;
    m.images = data::ALLTRIM(text_of(msgs, "HTML_EMBED"));
  } else {
    m.body = data::ALLTRIM(text_of(msgs, "BODY"));
  }
  m.attachments = std::move(attachments);
  m.attachment_folder = data::ALLTRIM(text_of(msgs, "HTML_D_ATT"));
  m.delete_attachments = static_cast<int>(number_of(msgs, "HTML_DEL_A"));
  m.sender_address = text_of(msgs, "USERADDR");
  m.sender_name = text_of(msgs, "USERNAME");
  return m;
}

void record_failure(const DispatchContext& c, int code) {
  data::WDBTable& msgs = c.E_MSGS2;
  {
    data::RecordLock lock{msgs};
    const long failures = number_of(msgs, "ERR_COUNT") + 1;
    msgs.put("ERR_COUNT", data::Value(failures));
    msgs.put("ERR_TEXT", data::Value(code_in_ten(code)));
    if (failures >= kGiveUpAfterFailures) msgs.put("ENVIADO", data::Value(2));
    lock.commit();
  }
  if (!c.host.is_main_iconic()) c.host.set_field_text(kFieldStatus, "Error in Connection: " + std::to_string(code));
  ++c.nError;
  c.host.set_field_text(kFieldLastCode, code_in_ten(code));
  c.host.set_field_text(kFieldLastCodeAt, now_text(c.clock));
}

void record_success(const DispatchContext& c) {
  data::WDBTable& msgs = c.E_MSGS2;
  data::RecordLock lock{msgs};
  msgs.put("ENVIADO", data::Value(1));
  msgs.put("F_ENVIO", data::Value(c.clock.today()));
  msgs.put("H_ENVIO", data::Value(c.clock.time_of_day()));
  lock.commit();
}

void show_sending(const DispatchContext& c) {
  if (c.host.is_main_iconic()) {
    c.host.set_main_title("Sending...");
  } else {
    const data::WDBTable& msgs = c.E_MSGS2;
    const data::Value fecha = msgs.get("FECHA");
    c.host.set_field_text(kFieldStatus, "Sending: " + data::ALLTRIM(text_of(msgs, "SUBJECT")) + " " +
                                            data::DTOC(fecha.is_date() ? fecha.date() : data::Date{}) + " " +
                                            text_of(msgs, "HORA") + " " + text_of(msgs, "TO_USER"));
  }
  c.host.repaint();
}

}  // namespace

void dispatch_outbox(const DispatchContext& c) {
  PassGuard guard{c};
  data::WDBTable& msgs = c.E_MSGS2;

  const long long waiting = count_waiting(msgs);
  c.host.set_field_text(kFieldPending, data::format_picture(static_cast<double>(waiting), "999,999,999"));
  if (waiting == 0) return;

  c.host.trace("8");
  const int connected = c.transport.connect();
  if (connected < 0) {
    c.host.set_field_text(kFieldStatus, "Error conectando SMTP!: " + data::ALLTRIM(c.XEMAILHOST) + " " +
                                            data::ALLTRIM(c.XEMAILADDR));
    c.host.set_field_text(kFieldLastCode, code_in_ten(connected));
    c.host.set_field_text(kFieldLastCodeAt, now_text(c.clock));
    return;
  }
  guard.set_connected(true);

  c.host.trace("9");
  c.host.set_field_text(kFieldPending, data::format_picture(static_cast<double>(waiting), "999,999,999"));
  int attempts = 0;
  long long sent = 0;
  while (true) {
    // Every round seeks again: a failed row keeps its place at the head of the ready rows.
    msgs.Seek(data::Value("01"));
    c.host.heartbeat();
    if (msgs.Eof() || number_of(msgs, "ENVIADO") != 0 || number_of(msgs, "LISTO") != 1) break;

    show_sending(c);
    const std::string attachment_folder = data::ALLTRIM(text_of(msgs, "HTML_D_ATT"));
    std::vector<std::string> extras = extra_attachments(c, attachment_folder);
    c.host.multitask(1000);

    c.host.trace("9-1");
    OutboxMessage message = message_of_row(c, attachments_without_trailing_comma(msgs));
    message.extra_attachments = std::move(extras);
    const int result = c.transport.send(message);
    c.host.trace("9-2");
    ++attempts;

    if (result < 0) {
      // The batch stops here: the rows behind a failing one wait for the next cycle.
      record_failure(c, result);
      break;
    }
    record_success(c);
    ++sent;
    c.host.set_field_text(kFieldPending, data::format_picture(static_cast<double>(waiting - sent), "999,999,999"));
    c.host.repaint();
    ++c.nSent;
    if (!c.host.is_main_iconic()) {
      c.host.set_field_text(kFieldStatus, "Idle...");
      c.host.repaint();
    } else {
      c.host.set_main_title("Idle...");
    }
    show_counters(c);
    if (attempts >= kMaxAttemptsPerPass) break;
  }

  if (c.host.is_main_iconic()) {
    c.host.set_main_title("Idle...");
  } else {
    c.host.set_main_title("Mail-Server Quarvelt");
    c.host.set_field_text(kFieldStatus, "Esperando...");
  }
  c.host.trace("10");
  guard.set_connected(false);
  c.transport.disconnect();
  c.host.trace("11");
  c.in_sending = 0;
  show_counters(c);
}

}  // namespace notify
