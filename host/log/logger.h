// The library's one logger: configuration, output and the capture hook.
#ifndef ZEVO_HOST_LOG_LOGGER_H_
#define ZEVO_HOST_LOG_LOGGER_H_

#include <cstdint>
#include <string_view>

#include "log_config.h"
#include "log_platform.h"
#include "sync.h"
#include "zevo/log.h"

namespace zevo::hostlog {

// Safe for concurrent use. Lock order: the two locks are never nested.
class Logger {
 public:
  // Created, and configured from the environment, on first use.
  static Logger& Instance();

  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;

  int32_t LevelOf(std::u16string_view module) ZEVO_EXCLUDES(config_mu_);

  // Writes one line and hands it to the capture hook, if any. `text` and
  // `text_bytes` are passed on to the hook exactly as the caller gave them.
  void Write(const char16_t* module, int32_t level, const char16_t* file, int32_t line, const char16_t* text,
             uint32_t text_bytes) ZEVO_EXCLUDES(out_mu_);

  void Reload() ZEVO_EXCLUDES(config_mu_, out_mu_);
  void SetCapture(Log_CaptureFn fn, void* context) ZEVO_EXCLUDES(out_mu_);

 private:
  Logger();

  host::SharedMutex config_mu_;
  ModuleLevels levels_ ZEVO_GUARDED_BY(config_mu_);

  host::Mutex out_mu_;
  UniqueFile file_ ZEVO_GUARDED_BY(out_mu_);  // null: stderr
  Log_CaptureFn capture_ ZEVO_GUARDED_BY(out_mu_) = nullptr;
  void* capture_context_ ZEVO_GUARDED_BY(out_mu_) = nullptr;
};

}  // namespace zevo::hostlog

#endif  // ZEVO_HOST_LOG_LOGGER_H_
