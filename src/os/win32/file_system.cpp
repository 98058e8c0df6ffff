#include "os/file_system.h"

#include <io.h>
#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "os/path.h"
#include "os/win32/wide.h"

namespace zevo::os {

using win32::ToNative;

namespace {

// Closes a search handle without losing the last error of an earlier failure.
class SearchHandle {
 public:
  explicit SearchHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~SearchHandle() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    const DWORD saved = GetLastError();
    FindClose(handle_);
    SetLastError(saved);
  }
  SearchHandle(const SearchHandle&) = delete;
  SearchHandle& operator=(const SearchHandle&) = delete;
  bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// The first buffer GetFullPathNameW is given, in characters.
constexpr DWORD kFullPathFirstTry = MAX_PATH;

}  // namespace

bool CreateFolder(std::u16string_view path) noexcept {
  std::wstring native;
  return ToNative(path, native) && CreateDirectoryW(native.c_str(), /*lpSecurityAttributes=*/nullptr) != 0;
}

bool PathExists(std::u16string_view path) noexcept {
  std::wstring native;
  if (!ToNative(path, native)) return false;
  if (_waccess(native.c_str(), 0) == 0) return true;
  // _waccess reports through errno; the callers read the system's error.
  SetLastError(ERROR_FILE_NOT_FOUND);
  return false;
}

bool MoveFileTo(std::u16string_view from, std::u16string_view to) noexcept {
  std::wstring source;
  std::wstring target;
  return ToNative(from, source) && ToNative(to, target) && MoveFileW(source.c_str(), target.c_str()) != 0;
}

bool DeleteAtRestart(std::u16string_view path) noexcept {
  std::wstring native;
  return ToNative(path, native) &&
         MoveFileExW(native.c_str(), /*lpNewFileName=*/nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

bool RemoveFolder(std::u16string_view path) noexcept {
  std::wstring native;
  return ToNative(path, native) && RemoveDirectoryW(native.c_str()) != 0;
}

bool FindFirstMatch(std::u16string_view folder, std::u16string_view pattern, std::u16string& name) noexcept {
  try {
    std::u16string query(folder);
    if (!query.empty() && query.back() != kPathSeparator) query.push_back(kPathSeparator);
    query.append(pattern);
    std::wstring native;
    if (!ToNative(query, native)) return false;
    WIN32_FIND_DATAW found{};
    const SearchHandle search(FindFirstFileW(native.c_str(), &found));
    if (!search.valid()) return false;
    name = win32::FromWide(found.cFileName);
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

bool GetFullPath(std::u16string_view path, std::u16string& full) noexcept {
  try {
    std::wstring native;
    if (!ToNative(path, native)) return false;
    std::vector<wchar_t> buffer(kFullPathFirstTry);
    DWORD length = GetFullPathNameW(native.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                                    /*lpFilePart=*/nullptr);
    if (length >= buffer.size()) {
      // Too small: `length` is the size needed, terminator included.
      buffer.resize(length);
      length = GetFullPathNameW(native.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
      if (length >= buffer.size()) length = 0;
    }
    if (length == 0) return false;
    full = win32::FromWide({buffer.data(), length});
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

}  // namespace zevo::os
