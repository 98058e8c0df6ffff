// The exported Log_* functions: argument checks and the no-throw boundary.
#include "zevo/log.h"

#include "logger.h"

using zevo::hostlog::Logger;

namespace {

bool IsOurHandle(void* handle) { return handle != nullptr && handle == &Logger::Instance(); }

}  // namespace

void* Log_GetDefaultHandle(void) noexcept {
  try {
    return &Logger::Instance();
  } catch (...) {
    return nullptr;
  }
}

int32_t Log_GetLogLevel(void* handle, const char16_t* module) noexcept {
  if (module == nullptr) return 0;
  try {
    if (!IsOurHandle(handle)) return 0;
    return Logger::Instance().LevelOf(module);
  } catch (...) {
    return 0;
  }
}

void Log_Flush(void* handle, const char16_t* module, int32_t level, const char16_t* sourceFile, int32_t line,
               const char16_t* text, uint32_t textBytes) noexcept {
  if (module == nullptr || text == nullptr) return;
  try {
    if (!IsOurHandle(handle)) return;
    Logger::Instance().Write(module, level, sourceFile, line, text, textBytes);
  } catch (...) {
    // A line that cannot be formatted (out of memory) is dropped.
  }
}

void Log_Reload(void) noexcept {
  try {
    Logger::Instance().Reload();
  } catch (...) {
  }
}

void Log_SetCapture(Log_CaptureFn fn, void* context) noexcept {
  try {
    Logger::Instance().SetCapture(fn, context);
  } catch (...) {
  }
}
