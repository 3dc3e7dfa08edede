#include "ui/wradiobutton.h"

#include <algorithm>

#include "ui/lr_wdialog.h"

namespace ui {

using namespace platform;

bool WRadioButton::Checked() const { return hWnd() && ws().SENDMESSAGE(hWnd(), BM_GETCHECK) == BST_CHECKED; }

const std::vector<std::int64_t>& WRadioButton::anGroupIds() {
  if (!m_group.empty() || !hWnd()) return m_group;
  WindowSystem& system = ws();
  const Handle dialog = system.GETPARENT(hWnd());
  std::vector<std::int64_t> group;
  bool is_ours = false;
  for (Handle child = system.GETWINDOW(dialog, GW_CHILD); child; child = system.GETWINDOW(child, GW_HWNDNEXT)) {
    const auto style = static_cast<Style>(system.GETWINDOWLONG(child, GWL_STYLE));
    if (style & WS_GROUP) {
      if (is_ours) break;
      group.clear();
    }
    if (system.SENDMESSAGE(child, WM_GETDLGCODE) & DLGC_RADIOBUTTON) {
      group.push_back(system.GETDLGCTRLID(child));
      is_ours |= child == hWnd();
    }
  }
  m_group = is_ours ? std::move(group) : std::vector<std::int64_t>{nId()};
  std::sort(m_group.begin(), m_group.end());
  return m_group;
}

void WRadioButton::_Checked(bool checked) {
  if (!hWnd()) return;
  WindowSystem& system = ws();
  if (!checked) {
    system.SENDMESSAGE(hWnd(), BM_SETCHECK, BST_UNCHECKED);
    return;
  }
  const std::vector<std::int64_t>& group = anGroupIds();
  const Handle dialog = system.GETPARENT(hWnd());
  const bool is_consecutive = group.back() - group.front() + 1 == static_cast<std::int64_t>(group.size());
  if (is_consecutive) {
    system.CHECKRADIOBUTTON(dialog, group.front(), group.back(), nId());
  } else {
    for (const std::int64_t id : group) {
      if (id != nId()) system.SENDDLGITEMMESSAGE(dialog, id, BM_SETCHECK, BST_UNCHECKED);
    }
  }
  system.SENDMESSAGE(hWnd(), BM_SETCHECK, BST_CHECKED);
}

}  // namespace ui
