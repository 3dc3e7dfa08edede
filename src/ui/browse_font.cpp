#include "ui/browse_font.h"

#include <algorithm>
#include <cctype>

#include "data/number_format.h"
#include "data/program_folder.h"
#include "data/record_lock.h"
#include "data/use_table.h"

namespace ui {

namespace {

std::string padded(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Removes every occurrence of `word` (any case) from `face`; answers whether there was one.
bool take_word(std::string& face, std::string_view word) {
  bool found = false;
  for (std::size_t at = upper(face).find(word); at != std::string::npos; at = upper(face).find(word)) {
    face.erase(at, word.size());
    found = true;
  }
  return found;
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool has_font_table(data::TableSession& session) {
  const data::ProgramFolder folder(session.settings.program_folder);
  return std::filesystem::exists(folder.find("BASES/F_BROWSE.DBF"));
}

}  // namespace

std::string browse_font_seek_key(const BrowseFontKey& key) {
  return padded(key.business, 15) + padded(key.dialog, 20) + data::STR(key.user, 4) + data::STR(key.list_id, 4);
}

std::optional<BrowseFont> load_browse_font(data::TableSession& session, const BrowseFontKey& key) {
  if (!has_font_table(session)) return std::nullopt;
  auto table = data::USE(session, {}, "F_BROWSE", "F_BROWSE");
  if (!table->Seek(data::Value(browse_font_seek_key(key)))) return std::nullopt;
  BrowseFont font;
  font.face = table->FieldGet("T_FONT").text();
  font.is_bold = take_word(font.face, "BOLD");
  font.is_italic = take_word(font.face, "ITALIC");
  font.face = trimmed(font.face);
  font.size = table->FieldGet("T_SIZE").number();
  if (font.face.empty()) return std::nullopt;
  return font;
}

void store_browse_font(data::TableSession& session, const BrowseFontKey& key, const BrowseFont& font) {
  auto table = data::USE(session, {}, "F_BROWSE", "F_BROWSE");
  const bool exists = table->Seek(data::Value(browse_font_seek_key(key)));
  data::RecordLock lock(*table, exists ? data::LockTarget::CurrentRecord : data::LockTarget::NewRecord);
  if (!exists) {
    table->put("NEGOCIO", data::Value(key.business));
    table->put("DIALOGO", data::Value(key.dialog));
    table->put("ID_USER", data::Value(key.user));
    table->put("ID_LIST", data::Value(key.list_id));
  }
  std::string face = font.face;
  if (font.is_bold) face += " BOLD";
  if (font.is_italic) face += " ITALIC";
  table->put("T_FONT", data::Value(face));
  table->put("T_SIZE", data::Value(font.size));
  lock.commit();
}

}  // namespace ui
