// Duration lines of long operations.
#ifndef ZEVO_SRC_LOG_LOG_TIMER_H_
#define ZEVO_SRC_LOG_LOG_TIMER_H_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "log/logging.h"

namespace zevo::logging {

// True when the logging library's level of the empty module name is exactly
// 1, the switch for duration lines.
bool TimingEnabled() noexcept;

// When TimingEnabled(), logs `start_text` at level 1 on construction and,
// on Finish() or destruction, `finish_text` + elapsed milliseconds + "
// milliseconds." at level 1, both under the site's module (so that module's
// level rule applies too). Otherwise does nothing and reads no clock.
// REQUIRES: `finish_text` outlives the timer (a literal).
class ScopedTimer {
 public:
  ScopedTimer(const Site& site, int32_t line, std::u16string_view start_text, std::u16string_view finish_text) noexcept;
  ~ScopedTimer() { Finish(line_); }

  ScopedTimer(const ScopedTimer&) = delete;
  ScopedTimer& operator=(const ScopedTimer&) = delete;

  // Logs the finish line now, from `line`; later calls do nothing.
  void Finish(int32_t line) noexcept;

 private:
  const Site site_;
  const int32_t line_;
  const std::u16string_view finish_text_;
  std::optional<std::chrono::steady_clock::time_point> start_;
};

}  // namespace zevo::logging

#endif  // ZEVO_SRC_LOG_LOG_TIMER_H_
