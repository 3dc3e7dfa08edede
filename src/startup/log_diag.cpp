#include "startup/log_diag.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "data/record_change.h"
#include "data/text.h"
#include "data/use_table.h"

namespace startup {
namespace {

constexpr int kReuseAfterDays = 240;

std::string login_name() {
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name) return entry->pw_name;
  if (const char* user = std::getenv("USER")) return user;
  return "";
}

std::string computer_name() {
  std::array<char, 256> name{};
  if (::gethostname(name.data(), name.size() - 1) != 0) return "";
  return name.data();
}

bool is_unlogged_dialog(std::string_view name) {
  if (name.starts_with("XLOGINUSR") || name.starts_with("CHECK_DB")) return true;
  const std::string upper = data::UPPER(name);
  for (const char* prefix : {"OBSEARCH", "WAIT", "PSETGEN", "WHILE_PRINT", "VER_ARTI", "PREVIEW800"}) {
    if (upper.starts_with(prefix)) return true;
  }
  return false;
}

// Puts the previous current area back however the logging ends.
class AreaRestore {
 public:
  explicit AreaRestore(data::TableSession& session)
      : m_session(session), m_previous(session.areas().current()) {}
  ~AreaRestore() { m_session.areas().select(m_previous); }
  AreaRestore(const AreaRestore&) = delete;
  AreaRestore& operator=(const AreaRestore&) = delete;

 private:
  data::TableSession& m_session;
  int m_previous;
};

}  // namespace

std::string INFO_USER(const data::Date& date, std::string_view time) {
  return login_name() + " / " + computer_name() + " " + data::DTOC(date) + " " + std::string(time);
}

void NEW_LOG_DIAG(Settings& settings, data::TableSession& session, const data::Clock& clock, std::any owner,
                  std::string_view dialog_name) {
  if (is_unlogged_dialog(dialog_name)) return;
  AreaRestore restore(session);
  std::unique_ptr<data::WDBTable> log = data::USE(session, std::move(owner), "LOG_DIAG", "LOG_DIA2");
  const data::Date today = clock.today();
  const std::string now = clock.time_of_day();
  log->GoTop();
  // The oldest row is recycled once it is old enough and nobody holds it; a held row is left to its
  // holder rather than waited for.
  const bool is_reused =
      !log->Eof() && today - log->FieldGet("FECHA").date() > kReuseAfterDays && log->RLock();
  if (!is_reused) data::ADD_NEW_REC(session);
  if (settings.XU_COMP.is_text()) log->put("NEGOCIO", settings.XU_COMP);
  log->put("ID_DIAG", data::Value(settings.XID_MENU.is_number() ? settings.XID_MENU.number() : 0.0));
  log->put("USUARIO", data::Value(settings.XUSER_ABREVIA));
  log->put("INFO_USER", data::Value(INFO_USER(today, now)));
  log->put("DIALOGO", data::Value(std::string(dialog_name)));
  log->put("FECHA", data::Value(today));
  log->put("HORA", data::Value(now));
  log->put("MODULO", data::Value(settings.EXT_MODULO));
  data::unlock_for_modify(session, log->Area);
  data::KILLTABLA(log.get());
  settings.XID_MENU = data::Value(0);
}

void LOG_PASSWORD(Settings& settings, data::TableSession& session, const data::Clock& clock, std::any owner,
                  std::string_view old_password, std::string_view new_password, data::WDBTable& users,
                  int origin) {
  if (users.FieldPos("ADASIPA") == 0) return;
  AreaRestore restore(session);
  const std::string name = users.FieldPos("NOMBRE") ? users.FieldGet("NOMBRE").text() : std::string();
  std::unique_ptr<data::WDBTable> log = data::USE(session, std::move(owner), "ADASIPA");
  const data::Date today = clock.today();
  const std::string now = clock.time_of_day();
  data::ADD_NEW_REC(session);
  log->put("INFO_USER", data::Value(INFO_USER(today, now)));
  log->put("USUARIO", data::Value(settings.XUSER_ABREVIA));
  log->put("P1", data::Value(std::string(old_password)));
  log->put("P2", data::Value(std::string(new_password)));
  log->put("FECHA", data::Value(today));
  log->put("HORA", data::Value(now));
  log->put("NOMBRE", data::Value(name));
  log->put("ORIGEN", data::Value(origin));
  data::unlock_for_modify(session, log->Area);
}

}  // namespace startup
