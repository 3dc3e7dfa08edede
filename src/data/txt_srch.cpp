#include "data/txt_srch.h"

#include "data/program_folder.h"
#include "data/record_change.h"
#include "data/text.h"
#include "data/use_table.h"

namespace data {
namespace {

const std::string kFreeRow(15, 'X');
constexpr int kWordWidth = 50;  // T_ITEM; a longer word is stored cut, so it is sought cut too.

}  // namespace

std::vector<std::string> index_words(std::string_view text) {
  std::vector<std::string> words;
  std::string rest = ALLTRIM(UPPER(text));
  while (!rest.empty()) {
    const std::size_t blank = rest.find(' ');
    std::string word = ALLTRIM(rest.substr(0, blank));
    rest = blank == std::string::npos ? std::string() : rest.substr(blank + 1);
    if (LEN(word) > 2) words.push_back(std::move(word));
  }
  return words;
}

TXT_SRCH::~TXT_SRCH() { AXIT(); }

void TXT_SRCH::INIT(std::any owner, std::string_view business, int limit) {
  oParent = owner;
  Negocio = std::string(business);
  Max_Items = limit;
  const int previous = m_session.areas().current();
  m_table = USE(m_session, std::move(owner), "TXT_SRCH", "TXT_SRCH");
  m_session.areas().select(previous);
}

void TXT_SRCH::AXIT() {
  if (m_session.XTXT_SRCH_OBJ == this) m_session.XTXT_SRCH_OBJ = nullptr;
  m_table.reset();
}

std::string TXT_SRCH::key_of(std::string_view document, std::string_view table, std::string_view word) const {
  return PADR(LEFT(Negocio, 15), 15) + PADR(LEFT(table, 10), 10) + PADR(LEFT(document, 15), 15) +
         LEFT(word, kWordWidth);
}

void TXT_SRCH::take_free_row() {
  WDBTable& index = *m_table;
  while (index.Seek(Value(kFreeRow))) {
    lock_for_modify(m_session, index.Area);
    // Another workstation may have reused the row while we waited for it.
    if (exact_equals(index.get("NEGOCIO").text(), kFreeRow)) return;
    unlock_for_modify(m_session, index.Area);
  }
  add_new_rec(m_session, index.Area);
}

void TXT_SRCH::ADD_TEXTO(std::string_view document, int id, std::string_view text, std::string_view table) {
  if (!m_table) return;
  WDBTable& index = *m_table;
  index.set_order("TXT_SRCH4");
  for (const std::string& word : index_words(text)) {
    const std::string stored = LEFT(word, kWordWidth);
    if (index.Seek(Value(key_of(document, table, stored)))) continue;
    take_free_row();
    index.put("NEGOCIO", Value(PADR(LEFT(Negocio, 15), 15)));
    index.put("DOCUMENTO", Value(std::string(document)));
    index.put("ID", Value(id));
    index.put("T_ITEM", Value(stored));
    index.put("TABLA", Value(std::string(table)));
    unlock_for_modify(m_session, index.Area);
  }
}

void TXT_SRCH::DEL_TEXTO(std::string_view document, int /*id*/, std::string_view text,
                         std::string_view table) {
  if (!m_table) return;
  WDBTable& index = *m_table;
  index.set_order("TXT_SRCH4");
  for (const std::string& word : index_words(text)) {
    const std::string key = key_of(document, table, LEFT(word, kWordWidth));
    index.Seek(Value(key));
    while (!index.Eof()) {
      const std::string row_key = index.get("NEGOCIO").text() + index.get("TABLA").text() +
                                  index.get("DOCUMENTO").text() + index.get("T_ITEM").text();
      if (!xbase_equals(row_key, key)) break;
      // Freeing the row moves it in the order, so the next row is noted first.
      const std::uint32_t current = index.RecNo();
      index.Skip(1);
      const std::uint32_t next = index.Eof() ? 0 : index.RecNo();
      index.GoTo(current);
      lock_for_modify(m_session, index.Area);
      index.put("NEGOCIO", Value(kFreeRow));
      unlock_for_modify(m_session, index.Area);
      if (next == 0) break;
      index.GoTo(next);
    }
  }
}

std::unique_ptr<TXT_SRCH> start_text_search(TableSession& session, std::any owner,
                                            std::string_view business) {
  const std::filesystem::path registrations =
      find_case_insensitive(session.settings.program_folder, "BASES/F_TXT_S.DBF");
  std::error_code ec;
  if (!std::filesystem::exists(registrations, ec)) return nullptr;
  const int previous = session.areas().current();
  {
    std::unique_ptr<WDBTable> files = USE(session, owner, "F_TXT_S", "T_TXT_S");
    session.XTXT_SRCH_FILES.clear();
    for (files->GoTop(); !files->Eof(); files->Skip(1)) {
      session.XTXT_SRCH_FILES.push_back(
          TextSearchFile{ALLTRIM(files->get("TABLA").text()), ALLTRIM(files->get("DOCUMENTO").text())});
    }
  }
  session.areas().select(previous);
  auto index = std::make_unique<TXT_SRCH>(session);
  index->INIT(std::move(owner), business);
  session.XTXT_SRCH_OBJ = index.get();
  return index;
}

}  // namespace data
