#include "data/record_change.h"

#include "data/number_format.h"
#include "data/runtime_error.h"
#include "data/text.h"
#include "data/txt_srch.h"

namespace data {
namespace {

// The table of `area`, checked for a change: a free area, a read-only table or a pointer past the
// last record would make the retry loops below wait for ever, so they are the caller's error.
DbfTable& table_for_change(TableSession& session, int area, const char* operation, bool needs_record) {
  DbfTable* table = session.areas().table(area);
  if (!table)
    throw RuntimeError(operation, "DBFCDX", "work area " + std::to_string(area) + " holds no table");
  if (table->is_read_only())
    throw RuntimeError(operation, session.driver(area), table->path().string() + " is open read-only");
  if (needs_record && table->eof()) {
    throw RuntimeError(operation, session.driver(area),
                       table->path().string() + ": no current record (end of file)");
  }
  return *table;
}

// Restores the current area when a call aimed at another one returns.
class CurrentAreaRestore {
 public:
  explicit CurrentAreaRestore(WorkAreas& areas) : m_areas(areas), m_previous(areas.current()) {}
  ~CurrentAreaRestore() { m_areas.select(m_previous); }
  CurrentAreaRestore(const CurrentAreaRestore&) = delete;
  CurrentAreaRestore& operator=(const CurrentAreaRestore&) = delete;

 private:
  WorkAreas& m_areas;
  int m_previous;
};

void lock_current_of(TableSession& session, int area) {
  table_for_change(session, area, "LOCK_FOR_MODIFY", true);
  CHECK_TXT_SEARCH(session, area, 1);
  retry_until_done(
      session.clock(), session.messages(),
      [&] {
        session.areas().select(area);
        return table_for_change(session, area, "LOCK_FOR_MODIFY", true).lock_current();
      },
      [&] { return busy_message(session, area); }, NoticeOrder::BeforeWait);
}

void unlock_current_of(TableSession& session, int area) {
  DbfTable& first = table_for_change(session, area, "UNLOCK_FOR_MODIFY", false);
  const std::uint32_t recno = first.rec_no();
  CHECK_TXT_SEARCH(session, area, 2);
  bool has_failed = false;
  retry_until_done(
      session.clock(), session.messages(),
      [&] {
        session.areas().select(area);
        DbfTable& table = table_for_change(session, area, "UNLOCK_FOR_MODIFY", false);
        if (has_failed && table.rec_no() != recno) (void)table.go_to(recno);
        has_failed = !table.unlock();
        return !has_failed;
      },
      [&] { return busy_message(session, area); });
}

void append_in(TableSession& session, int area) {
  table_for_change(session, area, "ADD_NEW_REC", false);
  retry_until_done(
      session.clock(), session.messages(),
      [&] {
        session.areas().select(area);
        Result<void> appended = table_for_change(session, area, "ADD_NEW_REC", false).append();
        return static_cast<bool>(appended);
      },
      [&] { return busy_message(session, area); });
}

}  // namespace

std::string busy_message(TableSession& session, int area) {
  std::string text = "El dato se encuentra bloqueado: " + session.areas().alias(area);
  if (session.driver(area) == "ADSCDX") {
    const DbfTable* table = session.areas().table(area);
    text += "/" + STR(table ? table->rec_no() : 0, 10);
  }
  return text;
}

void LOCK_FOR_MODIFY(TableSession& session, const WDBTable*) {
  lock_current_of(session, session.areas().current());
}
void UNLOCK_FOR_MODIFY(TableSession& session, const WDBTable*) {
  unlock_current_of(session, session.areas().current());
}
void UNLOCK_NEW_REC(TableSession& session) { UNLOCK_FOR_MODIFY(session); }
void UNLOCK_NEW(TableSession& session) { UNLOCK_FOR_MODIFY(session); }
void ADD_NEW_REC(TableSession& session) { append_in(session, session.areas().current()); }

void lock_for_modify(TableSession& session, int area) {
  CurrentAreaRestore restore(session.areas());
  lock_current_of(session, area);
}

void unlock_for_modify(TableSession& session, int area) {
  CurrentAreaRestore restore(session.areas());
  unlock_current_of(session, area);
}

void add_new_rec(TableSession& session, int area) {
  CurrentAreaRestore restore(session.areas());
  append_in(session, area);
}

void CHECK_TXT_SEARCH(TableSession& session, int area, int mode) {
  if (area < 1 || area > WorkAreas::kMaxWorkAreas) return;
  const TextSearchSlot& slot = session.XTXT_SRCH_VECTOR(area);
  if (slot.is_on != 1 || session.XTXT_SRCH_OBJ == nullptr) return;
  DbfTable* table = session.areas().table(area);
  if (!table || table->eof()) return;
  CurrentAreaRestore restore(session.areas());
  session.areas().select(area);

  // Indexed are the texts of at least 10 characters, except the user stamps (INFO_USER).
  std::vector<std::string> texts;
  for (int pos = 1; pos <= table->field_count(); ++pos) {
    const DbfField& field = table->field(pos);
    const Value value = table->get(pos);
    if (value.is_text() && field.width >= 10 && !UPPER(field.name).starts_with("INFO_U"))
      texts.push_back(value.text());
  }
  const int business_pos = table->field_pos("NEGOCIO");
  const int document_pos = table->field_pos(slot.document_field);
  const std::string business = business_pos != 0 ? table->get(business_pos).text() : std::string();
  const std::string document = document_pos != 0 ? table->get(document_pos).text() : std::string();

  TXT_SRCH& index = *session.XTXT_SRCH_OBJ;
  index.SET_NEGOCIO(business);
  for (const std::string& text : texts) {
    if (table->deleted()) break;
    if (mode == 1)
      index.DEL_TEXTO(document, 0, text, slot.table);
    else
      index.ADD_TEXTO(document, 0, text, slot.table);
  }
}

}  // namespace data
