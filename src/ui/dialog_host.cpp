#include "ui/dialog_host.h"

#include <algorithm>

#include "ui/lr_wdialog.h"

namespace ui {

using namespace platform;

namespace {
constexpr std::size_t kDueTimersPerPass = 8;
}  // namespace

DialogHost::DialogHost(WindowSystem& ws, Handle frame, Handle client) : m_ws(ws), m_frame(frame), m_client(client) {}

// Adopted dialogs go first, while the registry they update on destruction still exists.
DialogHost::~DialogHost() { m_adopted.clear(); }

void DialogHost::set_windows(Handle frame, Handle client) {
  m_frame = frame;
  m_client = client;
}

void DialogHost::AddDlgHandle(Handle window, int modal, std::string_view name) {
  if (window == 0) return;
  DeleteDlgHandle(window);
  m_dialogs.push_back(DialogRegistryEntry{window, modal, std::string(name), false});
}

void DialogHost::DeleteDlgHandle(Handle window) {
  std::erase_if(m_dialogs, [&](const DialogRegistryEntry& entry) { return entry.window == window; });
  if (m_active_dialog == window) m_active_dialog = 0;
  if (hglobal == window) hglobal = 0;
}

void DialogHost::SetActiveDlg(Handle window) {
  m_active_dialog = window;
  for (DialogRegistryEntry& entry : m_dialogs) entry.is_active = entry.window == window;
}

void DialogHost::LocalExec() {
  // What was waiting on entry, and the timers that are due: a handler that posts again must not
  // keep this pass running.
  std::size_t waiting = m_ws.queued_messages() + kDueTimersPerPass;
  Message message;
  while (waiting-- > 0 && m_ws.PEEKMESSAGE(message, 0, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      m_ws.POSTQUITMESSAGE(static_cast<int>(message.wParam.number()));  // The loop must see it too.
      return;
    }
    m_ws.TRANSLATEMESSAGE(message);
    m_ws.DISPATCHMESSAGE(message);
  }
}

void DialogHost::MenuSet(int, WDIAG*, const data::Value&) {}

void DialogHost::NEW_LOG_DIAG(LR_WDIALOG&, std::string_view) {}

void DialogHost::open_calendar(Handle, const data::Date&) {}

Handle DialogHost::create_font(DialogFontDescription font) {
  const Handle handle = ++m_next_font;
  m_fonts.emplace_back(handle, std::move(font));
  return handle;
}

bool DialogHost::delete_font(Handle font) {
  return std::erase_if(m_fonts, [&](const auto& entry) { return entry.first == font; }) > 0;
}

const DialogFontDescription* DialogHost::font(Handle font) const {
  for (const auto& [handle, description] : m_fonts) {
    if (handle == font) return &description;
  }
  return nullptr;
}

void DialogHost::collect_garbage() {
  std::erase_if(m_adopted, [](const std::unique_ptr<LR_WDIALOG>& dialog) {
    return dialog->is_finished() && !dialog->is_busy();
  });
}

}  // namespace ui
