#include "ui/wdiag.h"

#include <algorithm>
#include <cmath>

#include "startup/settings.h"
#include "ui/platform/text_case.h"

namespace ui {

using namespace platform;

namespace {
constexpr double kDialogGroupLimit = 3500;
constexpr int kVerticalPixelsPerInch = 96;
constexpr std::size_t kFontFaceCompared = 40;
constexpr std::int64_t kCompanyControl = -100;

// Messages the dialog hook watches: activation and destruction, the framework's menu message, and
// the sizing and creation messages.
std::vector<MessageId> hooked_messages(bool hooks_colours) {
  std::vector<MessageId> messages{WM_SIZE, WM_MDIACTIVATE, WM_NCDESTROY, kDialogHookExtra, kDialogActivation,
                                  WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NULL, WM_CREATE, WM_DESTROY,
                                  WM_MOVE, 4};
  if (hooks_colours) {
    for (MessageId m = WM_CTLCOLORMSGBOX; m <= WM_CTLCOLORSTATIC; ++m) messages.push_back(m);
    messages.push_back(WM_CTLCOLOR);
  }
  return messages;
}

Rect client_rect_of(WindowSystem& ws, Handle dialog, Handle control) {
  const Rect screen = ws.GETWINDOWRECT(control);
  const Point origin = ws.SCREENTOCLIENT(dialog, Point{screen.left, screen.top});
  return Rect{origin.x, origin.y, origin.x + screen.width(), origin.y + screen.height()};
}
}  // namespace

WDIAG::WDIAG() = default;

WDIAG::~WDIAG() {
  if (has_host()) release_fonts();
}

bool WDIAG::Init(const DialogOwner& owner, std::string_view resource_name, const DialogOptions& options) {
  owner.host().NEW_LOG_DIAG(*this, resource_name);
  return WDIALOG::Init(owner, resource_name, options);
}

void WDIAG::CREATE(std::string_view resource_name, bool hooks_colours) {
  const Handle window = hWnd();
  if (!window || !ws().ISWINDOW(window) || m_is_hooked) return;
  Show();
  startup::settings().XDGROUPLIMIT = kDialogGroupLimit;
  cnID_aDlg = std::string(resource_name);
  auto level = std::make_shared<int>(0);
  *level = ws().SUBCLASSWINDOW(
      window,
      guarded([this, level](Handle w, MessageId m, const Param& wp, const Param& lp) { return hook(*level, w, m, wp, lp); }),
      MessageFilter::only(hooked_messages(hooks_colours)));
  m_is_hooked = true;
  ws().POSTMESSAGE(window, kDialogActivation, 1);
}

std::int64_t WDIAG::hook(int level, Handle window, MessageId message, const Param& wParam, const Param& lParam) {
  startup::Settings& settings = startup::settings();
  const bool is_building_menu = settings.XCONSTRUCTINGMENU == 1;
  switch (message) {
    case WM_WINDOWPOSCHANGED:
      if (settings.XWIN_ATRIB.size() > 1 && settings.XWIN_ATRIB[1].number() == 1) {
        // Pinned to the client's corner; moving it there sends this message again, so only once.
        const Rect rect = ws().GETWINDOWRECT(window);
        const Handle parent = ws().GETPARENT(window);
        const Point at = parent ? ws().SCREENTOCLIENT(parent, Point{rect.left, rect.top}) : Point{rect.left, rect.top};
        if (at.x != 0 || at.y != 0) ws().SETWINPOS(window, 0, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      break;
    case WM_SIZE: apply_anchors(); break;
    case WM_MDIACTIVATE: ws().POSTMESSAGE(window, kDialogActivation, wParam, lParam); break;
    case kDialogActivation: {
      const std::int64_t state = wParam.number();
      if ((state == 1 || state == 2) && !is_building_menu) {
        SHOW_MENU();
        m_is_active = true;
      } else if (state == 0) {
        m_is_active = false;
      }
      break;
    }
    case WM_NCDESTROY:
      if (!is_building_menu) HIDE_MENU();
      release_fonts();
      m_colours.clear();
      m_is_active = false;
      break;
    default: break;
  }
  return ws().CALLWINDOWPROC(level, window, message, wParam, lParam);
}

void WDIAG::SHOW_MENU() { host().MenuSet(0, this, data::Value()); }

Handle WDIAG::CHANGE_FONT(std::int64_t id, std::string_view face, double size, bool is_bold, Handle window,
                          bool is_italic) {
  const Handle dialog = window ? window : hWnd();
  const Handle control = dialog ? ws().GETDLGITEM(dialog, id) : 0;
  if (!control) return 0;
  std::string wanted = equals_ignoring_case(face, "TIMES ROMAN") ? std::string("Times New Roman") : std::string(face);
  const auto same_face = [&](const std::string& made) {
    return equals_ignoring_case(std::string_view(made).substr(0, kFontFaceCompared),
                                std::string_view(wanted).substr(0, kFontFaceCompared));
  };
  auto it = std::find_if(FONTS.begin(), FONTS.end(), [&](const DialogFontEntry& entry) {
    return same_face(entry.face) && entry.size == size && entry.is_bold == is_bold;
  });
  if (it == FONTS.end()) {
    DialogFontDescription description;
    description.face = wanted;
    description.height = -static_cast<int>(std::lround(size * kVerticalPixelsPerInch / 72.0));
    description.weight = is_bold ? 700 : 0;
    description.is_italic = is_italic;
    FONTS.push_back(DialogFontEntry{wanted, size, is_bold, host().create_font(std::move(description))});
    it = FONTS.end() - 1;
  }
  ws().SENDMESSAGE(control, WM_SETFONT, it->font, 1);
  return it->font;
}

void WDIAG::release_fonts() {
  for (const DialogFontEntry& entry : FONTS) host().delete_font(entry.font);
  FONTS.clear();
}

void WDIAG::SHOW_COMPANY(std::string_view description) const {
  if (const Handle control = hWnd() ? ws().GETDLGITEM(hWnd(), kCompanyControl) : 0) {
    ws().SETWINDOWTEXT(control, description);
  }
}

void WDIAG::set_control_colours(std::int64_t id, std::uint32_t text, std::uint32_t background) {
  std::erase_if(m_colours, [&](const ControlColour& colour) { return colour.id == id; });
  m_colours.push_back(ControlColour{id, text, background});
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> WDIAG::control_colours(std::int64_t id) const {
  for (const ControlColour& colour : m_colours) {
    if (colour.id == id) return std::pair{colour.text, colour.background};
  }
  return std::nullopt;
}

void WDIAG::FIX_OBJ(std::int64_t id, int kind, std::int64_t other) {
  const Handle control = item(id);  // Throws for an unknown control.
  const Rect client = ws().GETCLIENTRECT(hWnd());
  const Rect rect = client_rect_of(ws(), hWnd(), control);
  ResizeAnchor anchor{id, kind, other, client.right - rect.right, client.bottom - rect.bottom, 0, 0};
  if (kind == 10) {
    const Rect other_rect = client_rect_of(ws(), hWnd(), item(other));
    anchor.dx = rect.left - other_rect.left;
    anchor.dy = rect.top - other_rect.top;
  }
  std::erase_if(FIX_POS, [&](const ResizeAnchor& a) { return a.id == id; });
  FIX_POS.push_back(anchor);
}

void WDIAG::apply_anchors() {
  const Handle dialog = hWnd();
  if (!dialog || FIX_POS.empty()) return;
  const Rect client = ws().GETCLIENTRECT(dialog);
  for (const ResizeAnchor& anchor : FIX_POS) {
    const Handle control = ws().GETDLGITEM(dialog, anchor.id);
    if (!control) continue;
    Rect rect = client_rect_of(ws(), dialog, control);
    const int right = client.right - anchor.right;
    const int bottom = client.bottom - anchor.bottom;
    const int width = rect.width();
    const int height = rect.height();
    switch (anchor.kind) {
      case 1: rect = Rect{right - width, rect.top, right, rect.bottom}; break;
      case 2: rect = Rect{rect.left, bottom - height, rect.right, bottom}; break;
      case 3: rect = Rect{right - width, bottom - height, right, bottom}; break;
      case 4: rect.right = right; break;
      case 5: rect.bottom = bottom; break;
      case 6:
        rect.right = right;
        rect.bottom = bottom;
        break;
      case 10:
        if (const Handle other = ws().GETDLGITEM(dialog, anchor.other)) {
          const Rect other_rect = client_rect_of(ws(), dialog, other);
          rect = Rect{other_rect.left + anchor.dx, other_rect.top + anchor.dy, other_rect.left + anchor.dx + width,
                      other_rect.top + anchor.dy + height};
        }
        break;
      default: continue;
    }
    ws().SETWINPOS(control, 0, rect.left, rect.top, std::max(rect.width(), 0), std::max(rect.height(), 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace ui
