#include "ui/platform/window_system.h"

#include <cstdio>

namespace ui::platform {

int WindowSystem::SUBCLASSWINDOW(Handle handle, Handler block, MessageFilter filter) {
  Window* window = find(handle);
  if (!window) return 0;
  if (!block) std::fputs("ERROR: BLOCK=NULL!!!!\n", stderr);
  if (!window->handlers) window->handlers = std::make_unique<HandlerRecord>();
  auto& chain = window->handlers->chain;
  // Entry 1 stands for the procedure the window had: its class procedure, or for a
  // dialog the dialog procedure that calls the dialog level.
  if (chain.empty()) chain.push_back(ChainEntry{});
  chain.push_back(ChainEntry{block ? std::make_shared<const Handler>(std::move(block)) : nullptr, std::move(filter)});
  return static_cast<int>(chain.size()) - 1;
}

std::int64_t WindowSystem::CALLWINDOWPROC(int level, Handle handle, MessageId message, const Param& wParam,
                                          const Param& lParam) {
  const Window* window = find(handle);
  if (!window || !window->handlers || level <= 0) return 0;
  if (static_cast<std::size_t>(level) >= window->handlers->chain.size()) return 0;
  if (m_nesting >= kMaxNesting) {
    throw data::RuntimeError("CALLWINDOWPROC", "WINDOWS",
                             "message " + std::to_string(message) + " nests more than " +
                                 std::to_string(kMaxNesting) + " messages deep");
  }
  ++m_nesting;
  struct Unnest {
    int& nesting;
    ~Unnest() { --nesting; }
  } unnest{m_nesting};
  return walk_chain(static_cast<std::size_t>(level), handle, message, wParam, lParam);
}

std::int64_t WindowSystem::walk_chain(std::size_t from_entry, Handle handle, MessageId message,
                                      const Param& wParam, const Param& lParam) {
  for (std::size_t entry = from_entry; entry >= 1; --entry) {
    // Looked up afresh at each step: a handler may have destroyed the window or changed
    // its chain while it ran.
    const Window* window = find(handle);
    if (!window || !window->handlers || entry > window->handlers->chain.size()) return 0;
    if (entry == 1) return call_base(handle, message, wParam, lParam);
    const ChainEntry& current = window->handlers->chain[entry - 1];
    if (!current.block || !current.filter.admits(message)) continue;
    const std::shared_ptr<const Handler> block = current.block;
    return (*block)(handle, message, wParam, lParam);
  }
  return 0;
}

}  // namespace ui::platform
