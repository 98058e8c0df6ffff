#include <windows.h>

#include "platform.h"

namespace tarsk {

const char16_t kPathListSeparator = u';';
const char16_t kPathSeparator = u'\\';

std::filesystem::path ToPath(std::u16string_view text) {
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
}

std::u16string FromPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return std::u16string(wide.begin(), wide.end());
}

std::optional<std::u16string> GetEnv(const char16_t* name) {
  // The process environment itself: the C runtime's copy may be another one's.
  const auto* wideName = reinterpret_cast<const wchar_t*>(name);
  const DWORD size = GetEnvironmentVariableW(wideName, nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  const DWORD written = GetEnvironmentVariableW(wideName, value.data(), size);
  if (written >= size) return std::nullopt;
  value.resize(written);
  return std::u16string(value.begin(), value.end());
}

}  // namespace tarsk
