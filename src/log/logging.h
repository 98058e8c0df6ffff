// How the module's source files write log lines.
//
// Each source file names where it logs from once:
//   constexpr zevo::logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};
// and then writes
//   ZLOG(kLog, zevo::logging::kLevelFailure, u"Failed: TKScan: ", status);
//   ZLOG_ENTER(kLog, u"CEngineTARSK::StartScan", u"tkc = ", handle);
//   ZLOG_EXIT(kLog, u"CEngineTARSK::StartScan");
// Pieces may be UTF-16 texts, ASCII texts, characters, bools and integers;
// integers are written in the house hex form (see log_text.h).
//
// A message of level N is written only when the logging library has a handle
// and 1 <= L <= N for the module's level L; the text is built only then.
#ifndef ZEVO_SRC_LOG_LOGGING_H_
#define ZEVO_SRC_LOG_LOGGING_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "log/log_text.h"

namespace zevo::logging {

// The module name and source file name a line is logged under. Both must be
// terminated and outlive every use (literals).
struct Site {
  const char16_t* module;
  const char16_t* file;
};

inline constexpr int32_t kLevelTiming = 1;
inline constexpr int32_t kLevelEntryExit = 2;
inline constexpr int32_t kLevelInfo = 3;
inline constexpr int32_t kLevelFailure = 5;
inline constexpr int32_t kLevelSevere = 6;

// The library's handle when a message of `level` from `site` is to be
// written, else null.
void* HandleIfEnabled(const Site& site, int32_t level) noexcept;

// Passes `text` to Log_Flush (length in bytes, not terminated).
void Flush(void* handle, const Site& site, int32_t level, int32_t line, std::u16string_view text) noexcept;

template <class... Pieces>
void Log(const Site& site, int32_t level, int32_t line, const Pieces&... pieces) noexcept {
  void* const handle = HandleIfEnabled(site, level);
  if (handle == nullptr) return;
  try {
    Flush(handle, site, level, line, Concat(pieces...));
  } catch (...) {
    // Out of memory while building the text: the line is lost, the caller
    // carries on.
  }
}

// "==> " + name + "," + details, at level 2.
template <class... Details>
void LogEnter(const Site& site, int32_t line, std::u16string_view name, const Details&... details) noexcept {
  Log(site, kLevelEntryExit, line, u"==> ", name, u',', details...);
}

// "<== " + name + "," + details, at level 2.
template <class... Details>
void LogExit(const Site& site, int32_t line, std::u16string_view name, const Details&... details) noexcept {
  Log(site, kLevelEntryExit, line, u"<== ", name, u',', details...);
}

// Logs the entry line now and the exit line (without details) when it goes
// out of scope. For exits that report a result, call ZLOG_EXIT instead.
// REQUIRES: `name` outlives the scope (a literal).
class ScopedEntryExit {
 public:
  template <class... Details>
  ScopedEntryExit(const Site& site, int32_t line, std::u16string_view name, const Details&... details) noexcept
      : site_(site), line_(line), name_(name) {
    LogEnter(site_, line_, name_, details...);
  }
  ~ScopedEntryExit() { LogExit(site_, line_, name_); }

  ScopedEntryExit(const ScopedEntryExit&) = delete;
  ScopedEntryExit& operator=(const ScopedEntryExit&) = delete;

 private:
  const Site site_;
  const int32_t line_;
  const std::u16string_view name_;
};

}  // namespace zevo::logging

#define ZLOG(site, level, ...) ::zevo::logging::Log((site), (level), __LINE__, __VA_ARGS__)
#define ZLOG_ENTER(site, ...) ::zevo::logging::LogEnter((site), __LINE__, __VA_ARGS__)
#define ZLOG_EXIT(site, ...) ::zevo::logging::LogExit((site), __LINE__, __VA_ARGS__)

#endif  // ZEVO_SRC_LOG_LOGGING_H_
