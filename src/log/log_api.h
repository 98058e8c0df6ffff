// The logging library's three functions as the helper calls them, so that a
// test can stand in for a host whose library behaves differently (no
// handle, for one).
#ifndef ZEVO_SRC_LOG_LOG_API_H_
#define ZEVO_SRC_LOG_LOG_API_H_

#include <cstdint>

namespace zevo::logging {

struct LogApi {
  void* (*get_default_handle)() noexcept;
  int32_t (*get_log_level)(void* handle, const char16_t* module) noexcept;
  void (*flush)(void* handle, const char16_t* module, int32_t level, const char16_t* source_file, int32_t line,
                const char16_t* text, uint32_t text_bytes) noexcept;
};

// The functions in use: the logging library's unless replaced.
const LogApi& CurrentLogApi() noexcept;

// Replaces the functions until called again with null. For tests only.
// REQUIRES: `api` outlives its use; no line is being logged meanwhile.
void SetLogApiForTesting(const LogApi* api) noexcept;

}  // namespace zevo::logging

#endif  // ZEVO_SRC_LOG_LOG_API_H_
