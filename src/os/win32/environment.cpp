#include "os/environment.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <new>
#include <string>

#include "os/win32/wide.h"

namespace zevo::os {

namespace {

// The longest path GetModuleFileNameW can give (\\?\ form).
constexpr DWORD kLongestPath = 32768;

}  // namespace

std::uint32_t ExpandEnvironmentText(const char16_t* source, char16_t* buffer, std::uint32_t capacity) noexcept {
  if (source == nullptr || (buffer == nullptr && capacity != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  try {
    const std::wstring text = win32::ToWide(source);
    std::wstring out(capacity, L'\0');
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), capacity != 0 ? out.data() : nullptr, capacity);
    if (needed != 0 && needed <= capacity) {
      std::copy(out.begin(), out.begin() + needed, buffer);
    }
    return needed;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

std::optional<std::u16string> EnvironmentValue(std::u16string_view name) {
  if (name.empty() || name.find(u'\0') != name.npos) return std::nullopt;
  const std::wstring wideName = win32::ToWide(name);
  std::wstring value;
  SetLastError(ERROR_SUCCESS);  // an empty value also gives 0
  DWORD needed = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  while (needed != 0) {
    value.resize(needed);
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), needed);
    if (length < needed) {  // fitted: length excludes the terminator
      value.resize(length);
      return win32::FromWide(value);
    }
    needed = length;  // grew meanwhile
  }
  if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return std::u16string();  // set but empty
}

std::int32_t SpecialFolderPath(std::int32_t folderId, std::u16string& path) noexcept {
  wchar_t buffer[MAX_PATH] = {};
  const HRESULT result = SHGetFolderPathW(/*hwnd=*/nullptr, folderId,
                                          /*hToken=*/nullptr,
                                          /*dwFlags=*/0, buffer);
  // S_FALSE: the id is known but the folder does not exist.
  if (result != S_OK) return result == S_FALSE ? E_FAIL : result;
  try {
    path = win32::FromWide(buffer);
    return 0;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

bool HostExecutablePath(std::u16string& path) noexcept {
  try {
    std::wstring buffer(MAX_PATH, L'\0');
    while (true) {
      const DWORD length = GetModuleFileNameW(
          /*hModule=*/nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length == 0) return false;
      if (length < buffer.size()) {
        path = win32::FromWide({buffer.data(), length});
        return true;
      }
      if (buffer.size() >= kLongestPath) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
      }
      buffer.assign(buffer.size() * 2, L'\0');  // cut short: read again
    }
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

}  // namespace zevo::os
