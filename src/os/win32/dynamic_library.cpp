#include "os/dynamic_library.h"

#include <windows.h>

#include <new>
#include <string>
#include <utility>

#include "os/win32/wide.h"

namespace zevo::os {

namespace {

HMODULE AsModule(void* handle) { return static_cast<HMODULE>(handle); }

// Releases without disturbing the caller's last error: used where the
// outcome cannot be reported.
void ReleaseQuietly(void* handle) noexcept {
  const DWORD saved = GetLastError();
  FreeLibrary(AsModule(handle));
  SetLastError(saved);
}

// Loads and returns the module, or null with the failure's code in `error`.
// Kept apart so that every temporary is gone before the caller restores the
// last error.
HMODULE LoadByPath(const std::u16string& fullPath, DWORD& error) noexcept {
  // A NUL inside the path would silently load a different file.
  if (fullPath.empty() || fullPath.find(u'\0') != std::u16string::npos) {
    error = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  try {
    const std::wstring path = win32::ToWide(fullPath);
    HMODULE module = LoadLibraryExW(path.c_str(), /*hFile=*/nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    error = module == nullptr ? GetLastError() : ERROR_SUCCESS;
    return module;
  } catch (const std::bad_alloc&) {
    error = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
}

}  // namespace

DynamicLibrary::~DynamicLibrary() {
  if (handle_ != nullptr) ReleaseQuietly(handle_);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr) ReleaseQuietly(handle_);
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

DynamicLibrary DynamicLibrary::Load(const std::u16string& fullPath) noexcept {
  DWORD error = ERROR_SUCCESS;
  HMODULE module = LoadByPath(fullPath, error);
  if (module == nullptr) SetLastError(error);
  return DynamicLibrary(module);
}

void* DynamicLibrary::Symbol(const char* name) const noexcept {
  if (handle_ == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(AsModule(handle_), name));
}

bool DynamicLibrary::Release() noexcept {
  if (handle_ == nullptr) return false;
  if (!FreeLibrary(AsModule(handle_))) return false;  // last error kept
  handle_ = nullptr;
  return true;
}

}  // namespace zevo::os
