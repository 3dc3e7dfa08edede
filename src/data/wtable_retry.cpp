#include "data/wtable_retry.h"

#include <thread>

namespace data {

void SteadyRetryClock::wait(std::chrono::milliseconds interval) { std::this_thread::sleep_for(interval); }

void retry_until_done(RetryClock& clock, MessageBoxSink& messages, const std::function<bool()>& attempt,
                      const std::function<std::string()>& notice, NoticeOrder order) {
  const auto start = clock.now();
  while (!attempt()) {
    const bool is_overdue = [&] { return clock.now() - start > kQuietRetryTime; }();
    if (order == NoticeOrder::BeforeWait && is_overdue) messages.MESSAGE_BOX(notice(), kAlertCaption, MB_OK);
    clock.wait(kRetryInterval);
    if (order == NoticeOrder::AfterWait && clock.now() - start > kQuietRetryTime) {
      messages.MESSAGE_BOX(notice(), kAlertCaption, MB_OK);
    }
  }
}

}  // namespace data
