#include "ui/dialog_date_fields.h"

#include "ui/dialog_host.h"
#include "ui/dialog_messages.h"

namespace ui {

using namespace platform;

namespace {
constexpr std::int64_t kSpanishPlusKey = 161;   // The "+" key of a Spanish keyboard, as a character.
constexpr std::int64_t kSpanishMinusKey = 39;   // Its "-" key.
constexpr std::int64_t kCalendarDayBefore = 2;  // wParam of 1324: take the day before the chosen one.
}  // namespace

std::optional<data::Date> DateFieldShortcuts::field_date(WindowSystem& ws, Handle edit) {
  const std::string text = ws.GETWINDOWTEXT(edit);
  if (text.find_first_not_of("0123456789/ ") != std::string::npos) return std::nullopt;
  const std::int64_t selection = ws.SENDMESSAGE(edit, EM_GETSEL);
  if (C4W_LOWORD(selection) != C4W_HIWORD(selection)) return std::nullopt;
  const data::Date date = data::CTOD(text);
  if (date.is_blank() || date.year() == 0) return std::nullopt;
  return date;
}

std::optional<std::int64_t> DateFieldShortcuts::on_field_message(DialogHost& host, Handle dialog, Handle edit,
                                                                 MessageId message, const Param& wParam,
                                                                 const Param& lParam) {
  WindowSystem& ws = host.ws();
  switch (message) {
    case WM_KEYDOWN:
      ws.POSTMESSAGE(dialog, kDateFieldKey, wParam, lParam);
      return std::nullopt;
    case WM_CHAR: {
      const std::int64_t key = wParam.number();
      int days = 0;
      if (key == '+' || key == kSpanishPlusKey) days = 1;
      if (key == '-' || key == kSpanishMinusKey) days = -1;
      if (days == 0) return std::nullopt;
      const std::optional<data::Date> date = field_date(ws, edit);
      if (!date) return std::nullopt;  // Not a date: the character is typed as usual.
      const std::string text = data::DTOC(*date + days);
      ws.SETWINDOWTEXT(edit, text);
      ws.SENDMESSAGE(edit, EM_SETSEL, static_cast<std::int64_t>(text.size()), static_cast<std::int64_t>(text.size()));
      return 0;
    }
    case WM_RBUTTONDOWN: {
      const std::optional<data::Date> date = field_date(ws, edit);
      if (!date) return std::nullopt;
      host.open_calendar(edit, *date);
      return 0;
    }
    case kCalendarDateChosen: {
      data::Date chosen = data::STOD(lParam.text());
      if (chosen.is_blank()) return 0;
      if (wParam.number() == kCalendarDayBefore) chosen = chosen + -1;
      ws.SETWINDOWTEXT(edit, data::DTOC(chosen));
      return 1;
    }
    default: return std::nullopt;
  }
}

}  // namespace ui
