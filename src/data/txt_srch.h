#pragma once

#include <any>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/wdbtable.h"
#include "data/wtable_session.h"

namespace data {

// The suite's full-text word index, table TXT_SRCH: one row per word of a registered document,
// keyed by business, table, document and word. Rows whose NEGOCIO is 15 letters X are free and are
// reused before the table grows. Other programs of the suite maintain the same rows under the same
// locks, so every row is changed through the lock and unlock calls.
//
// Words are matched by their beginning, as the index seeks: with CAMAS indexed for a document,
// adding CAMA adds nothing and removing CAMA also frees CAMAS. Every call can wait for a busy row
// and pump messages while it tells the operator (see record_change.h).
class TXT_SRCH {
 public:
  explicit TXT_SRCH(TableSession& session) : m_session(session) {}
  ~TXT_SRCH();
  TXT_SRCH(const TXT_SRCH&) = delete;
  TXT_SRCH& operator=(const TXT_SRCH&) = delete;

  // Opens table TXT_SRCH (order TXT_SRCH) for the life of the object. Throws RuntimeError when the
  // table is missing.
  void INIT(std::any owner, std::string_view business, int limit = 20000);
  void AXIT();

  // Adds each word of `text` for the document of `table` in the current business.
  void ADD_TEXTO(std::string_view document, int id, std::string_view text, std::string_view table);
  // Frees the rows of each word of `text` (and of the words that begin with it) for that document.
  void DEL_TEXTO(std::string_view document, int id, std::string_view text, std::string_view table);
  void SET_NEGOCIO(std::string_view business) { Negocio = std::string(business); }

  std::any oParent;
  std::string Negocio;
  int Max_Items = 20000;  // The most rows the suite's search screens list.

  // The index table, null before INIT and after AXIT.
  WDBTable* table() const { return m_table.get(); }

 private:
  std::string key_of(std::string_view document, std::string_view table, std::string_view word) const;
  // Positions on a free row and locks it, or appends one; the row is locked on return.
  void take_free_row();

  TableSession& m_session;
  std::unique_ptr<WDBTable> m_table;
};

// The words of a text as the index keeps them: upper case, cut at each blank, pieces of two
// characters or fewer left out; punctuation stays part of its word.
std::vector<std::string> index_words(std::string_view text);

// Reads the registrations of F_TXT_S (when BASES/F_TXT_S.DBF exists) into XTXT_SRCH_FILES and opens
// the index; returns the index object, which the caller keeps for the life of the process and which
// the session's XTXT_SRCH_OBJ points at. Returns null (and leaves the hook off) without F_TXT_S.
std::unique_ptr<TXT_SRCH> start_text_search(TableSession& session, std::any owner, std::string_view business);

}  // namespace data
