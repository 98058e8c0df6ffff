#include "sim/shared_library.h"

#include <windows.h>

#include <cstdio>
#include <string_view>

#include "common/utf.h"

namespace zevo::hostsim::platform {
namespace {

// "error <code>: <system text>" for the calling thread's last error.
std::string LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (buffer != nullptr) {
    text.assign(reinterpret_cast<const char16_t*>(buffer), length);
    LocalFree(buffer);
  }
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) {
    text.pop_back();
  }
  char prefix[32];
  std::snprintf(prefix, sizeof(prefix), "error %lu", static_cast<unsigned long>(code));
  return text.empty() ? std::string(prefix) : std::string(prefix) + ": " + host::Utf16ToUtf8(text);
}

}  // namespace

void* OpenLibrary(const std::filesystem::path& file, std::string& error) noexcept {
  // The module's own folder is searched first for its dependencies (the
  // message and logging libraries), as the platform loads it.
  HMODULE library = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library == nullptr) {
    try {
      error = LastErrorText();
    } catch (...) {
    }
  }
  return reinterpret_cast<void*>(library);
}

RawFunction FindFunction(void* library, const char* name) noexcept {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<RawFunction>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) noexcept {
  if (library != nullptr) FreeLibrary(static_cast<HMODULE>(library));
}

bool IsLibraryLoaded(const std::filesystem::path& file) noexcept { return GetModuleHandleW(file.c_str()) != nullptr; }

}  // namespace zevo::hostsim::platform
