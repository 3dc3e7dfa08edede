#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "data/message_box_sink.h"

namespace data {

// The clock of the data layer's retry loops: how long a lock, append or open has been failing, and
// the wait between attempts. Tests hand in a clock that advances on wait() instead of sleeping.
class RetryClock {
 public:
  virtual ~RetryClock() = default;
  virtual std::chrono::steady_clock::time_point now() const = 0;
  // Waits `interval` without processing window messages, so no timer fires meanwhile.
  virtual void wait(std::chrono::milliseconds interval) = 0;
};

// Real time: steady_clock and a sleeping wait.
class SteadyRetryClock final : public RetryClock {
 public:
  std::chrono::steady_clock::time_point now() const override { return std::chrono::steady_clock::now(); }
  void wait(std::chrono::milliseconds interval) override;
};

// The fixed figures every retry loop of the data layer shares.
inline constexpr std::chrono::milliseconds kRetryInterval{100};
inline constexpr std::chrono::milliseconds kQuietRetryTime{5000};
inline constexpr std::string_view kAlertCaption = "Alerta";

// Whether a busy message comes before the wait of a failed attempt or after it.
enum class NoticeOrder { BeforeWait, AfterWait };

// Runs `attempt` until it returns true, waiting kRetryInterval after each failure. Once more than
// kQuietRetryTime has passed since the first attempt, every further failure also shows `notice()` with
// caption "Alerta" and waits for the operator. Never gives up, so it returns only after a success; an
// exception from `attempt` ends the loop. Can pump messages while a notice is shown.
void retry_until_done(RetryClock& clock, MessageBoxSink& messages, const std::function<bool()>& attempt,
                      const std::function<std::string()>& notice, NoticeOrder order = NoticeOrder::AfterWait);

}  // namespace data
