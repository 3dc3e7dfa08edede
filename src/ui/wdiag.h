#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "ui/wdialog.h"

namespace ui {

// A font made for one dialog by CHANGE_FONT: {face, size, bold} and its handle.
struct DialogFontEntry {
  std::string face;
  double size = 0;
  bool is_bold = false;
  Handle font = 0;
};

// A resize anchor recorded by FIX_OBJ: the control, its distances to the dialog's right and bottom
// edges (or its offset from another control) when recorded, and the anchor kind.
struct ResizeAnchor {
  std::int64_t id = 0;
  int kind = 0;
  std::int64_t other = 0;
  int right = 0;   // Distance of the control's right edge from the client's right edge.
  int bottom = 0;  // Distance of its bottom edge from the client's bottom edge.
  int dx = 0;      // Kind 10: offset from the other control's top-left corner.
  int dy = 0;
};

// The base of every business dialog. `Init(owner, resource name)` logs the opening and builds the
// window; the dialog then binds and registers its controls (Add) and finishes with CREATE, which
// hooks the window: from then on the dialog follows the frame's child activation (SHOW_MENU when it
// becomes the active child, HIDE_MENU when it is destroyed) and releases its fonts when it goes.
//
//   class MAIL_P : public WDIAG {
//    public:
//     explicit MAIL_P(DialogOwner owner) {
//       if (!Init(owner, "MAIL_P")) return;
//       m_name.Init(*this, 501);
//       Add(m_name);
//       CREATE("MAIL_P");
//     }
//     void SHOW_MENU() override { host().MenuSet(4687, this, business); }
//     void HIDE_MENU() override { host().MenuSet(0, this, business); }
//     Answer OnNCDESTROY(const Param&, const Param&) override { CerrarBases(); return {}; }
//   };
//
// The host keeps adopted dialogs alive: host.adopt(std::make_unique<MAIL_P>(host)).
class WDIAG : public WDIALOG {
 public:
  WDIAG();
  ~WDIAG() override;

  // Logs the opening (host NEW_LOG_DIAG) and builds the window (WDIALOG::Init). False without a window.
  bool Init(const DialogOwner& owner, std::string_view resource_name, const DialogOptions& options = {});
  // Shows the window, hooks it and asks for the menu. With `hooks_colours` the hook also sees the
  // WM_CTLCOLOR family.
  void CREATE(std::string_view resource_name, bool hooks_colours = false);

  // Menu hooks: SHOW_MENU runs when the dialog becomes the active child, HIDE_MENU when its window is
  // destroyed; neither runs while a menu is being built. The base SHOW_MENU rebuilds the menu with
  // key 0; the base HIDE_MENU does nothing.
  virtual void SHOW_MENU();
  virtual void HIDE_MENU() {}

  // Gives control `id` (of `window`, else of this dialog) a font, made once per face, size and bold
  // flag for this dialog and deleted with it. Answers the font; 0 when the control does not exist.
  Handle CHANGE_FONT(std::int64_t id, std::string_view face, double size, bool is_bold = false,
                     Handle window = 0, bool is_italic = false);
  // Puts the business's description into control -100, when the dialog has one.
  void SHOW_COMPANY(std::string_view description) const;
  // Records a resize anchor (kinds 1-6 keep distances to the right and bottom edges, 10 keeps the
  // offset from control `other`); anchors apply on every WM_SIZE.
  void FIX_OBJ(std::int64_t id, int kind, std::int64_t other = 0);
  // Text and background colours (RGB) of a control, for the display back end to paint with.
  void set_control_colours(std::int64_t id, std::uint32_t text, std::uint32_t background);
  // {text, background} of a control; nothing when it has no colours of its own.
  std::optional<std::pair<std::uint32_t, std::uint32_t>> control_colours(std::int64_t id) const;

  // True while the dialog is the frame's active child.
  bool is_active() const { return m_is_active; }

  std::vector<DialogFontEntry> FONTS;
  std::vector<ResizeAnchor> FIX_POS;

 private:
  std::int64_t hook(int level, Handle window, MessageId message, const Param& wParam, const Param& lParam);
  void apply_anchors();
  void release_fonts();

  struct ControlColour {
    std::int64_t id = 0;
    std::uint32_t text = 0;
    std::uint32_t background = 0;
  };
  std::vector<ControlColour> m_colours;
  bool m_is_active = false;
  bool m_is_hooked = false;
};

}  // namespace ui
