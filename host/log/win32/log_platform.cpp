#include "../log_platform.h"

#include <windows.h>

#include <cstdio>

namespace zevo::hostlog {

LocalTime NowLocal() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

uint64_t CurrentThreadId() { return ::GetCurrentThreadId(); }

// Reads the process environment itself (not a C runtime copy), which the
// runtime's _putenv_s also updates.
std::optional<std::u16string> GetEnvironment(const char* name) {
  std::wstring wide_name(name, name + std::char_traits<char>::length(name));
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (n == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::u16string();
    }
    if (n < value.size()) {
      return std::u16string(value.begin(), value.begin() + n);
    }
    value.resize(n);  // n includes the terminator when the buffer is short
  }
}

UniqueFile OpenForAppend(const std::u16string& path) {
  const std::wstring wide(path.begin(), path.end());
  return UniqueFile(::_wfopen(wide.c_str(), L"ab"));
}

}  // namespace zevo::hostlog
