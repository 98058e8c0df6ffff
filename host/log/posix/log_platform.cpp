#include "../log_platform.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "utf.h"

namespace zevo::hostlog {

LocalTime NowLocal() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(millis)};
}

uint64_t CurrentThreadId() { return static_cast<uint64_t>(::syscall(SYS_gettid)); }

std::optional<std::u16string> GetEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return host::Utf8ToUtf16(value);
}

UniqueFile OpenForAppend(const std::u16string& path) {
  std::string narrow;
  host::AppendUtf8(path, narrow);
  return UniqueFile(std::fopen(narrow.c_str(), "ab"));
}

}  // namespace zevo::hostlog
