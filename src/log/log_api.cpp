#include "log/log_api.h"

#include <atomic>

#include "zevo/log.h"

namespace zevo::logging {
namespace {

// Plain functions of this file rather than the imported ones, so that the
// table is a constant: the module's static initialisers may log before any
// dynamic initialisation of this file has run.
void* LibraryDefaultHandle() noexcept { return Log_GetDefaultHandle(); }

int32_t LibraryLogLevel(void* handle, const char16_t* module) noexcept { return Log_GetLogLevel(handle, module); }

void LibraryFlush(void* handle, const char16_t* module, int32_t level, const char16_t* source_file, int32_t line,
                  const char16_t* text, uint32_t text_bytes) noexcept {
  Log_Flush(handle, module, level, source_file, line, text, text_bytes);
}

constexpr LogApi kLibraryApi{&LibraryDefaultHandle, &LibraryLogLevel, &LibraryFlush};

constinit std::atomic<const LogApi*> g_api{&kLibraryApi};

}  // namespace

const LogApi& CurrentLogApi() noexcept { return *g_api.load(std::memory_order_acquire); }

void SetLogApiForTesting(const LogApi* api) noexcept {
  g_api.store(api != nullptr ? api : &kLibraryApi, std::memory_order_release);
}

}  // namespace zevo::logging
