#include "log/log_timer.h"

#include "log/log_api.h"

namespace zevo::logging {

bool TimingEnabled() noexcept {
  const LogApi& api = CurrentLogApi();
  void* const handle = api.get_default_handle();
  return handle != nullptr && api.get_log_level(handle, u"") == 1;
}

ScopedTimer::ScopedTimer(const Site& site, int32_t line, std::u16string_view start_text,
                         std::u16string_view finish_text) noexcept
    : site_(site), line_(line), finish_text_(finish_text) {
  if (!TimingEnabled()) return;
  Log(site_, kLevelTiming, line_, start_text);
  start_ = std::chrono::steady_clock::now();
}

void ScopedTimer::Finish(int32_t line) noexcept {
  if (!start_) return;
  using std::chrono::duration_cast;
  using std::chrono::microseconds;
  const int64_t elapsed_us = duration_cast<microseconds>(std::chrono::steady_clock::now() - *start_).count();
  start_.reset();
  const int64_t elapsed_ms = elapsed_us / 1000;
  Log(site_, kLevelTiming, line, finish_text_, elapsed_ms, u" milliseconds.");
}

}  // namespace zevo::logging
