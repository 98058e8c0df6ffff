// A shared library loaded at run time: LoadLibraryExW/GetProcAddress/
// FreeLibrary on Windows, dlopen/dlsym/dlclose on POSIX.
#ifndef ZEVO_OS_DYNAMIC_LIBRARY_H_
#define ZEVO_OS_DYNAMIC_LIBRARY_H_

#include <string>

namespace zevo::os {

// Move-only owner of one reference to a loaded library.
//
// Release() is the way to unload: it reports failure so that the caller can
// log it (read LastErrorText() right after). The destructor releases a
// library that is still loaded and ignores the outcome, so a forgotten
// release never leaks a reference, but nothing about it can be logged.
//
// Not safe for concurrent use of one object; distinct objects are
// independent.
class DynamicLibrary {
 public:
  DynamicLibrary() noexcept = default;
  ~DynamicLibrary();

  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library at fullPath. Windows: LoadLibraryExW with
  // LOAD_WITH_ALTERED_SEARCH_PATH, so the library's own dependencies are
  // searched for in its folder first. POSIX: dlopen(RTLD_NOW | RTLD_LOCAL)
  // of the UTF-8 path, so every symbol is bound now and none leaks into
  // the global namespace.
  // On failure the result is not loaded and LastErrorCode() /
  // LastErrorText() describe the failure until the next system call.
  static DynamicLibrary Load(const std::u16string& fullPath) noexcept;

  bool IsLoaded() const noexcept { return handle_ != nullptr; }

  // The address of the exported symbol, or null when it is missing, when
  // name is null or when no library is loaded.
  void* Symbol(const char* name) const noexcept;

  // Gives the reference back to the system. True when a loaded library was
  // released; false when none was loaded or the system refused, in which
  // case the library stays loaded and LastErrorText() tells why.
  bool Release() noexcept;

 private:
  explicit DynamicLibrary(void* handle) noexcept : handle_(handle) {}

  void* handle_ = nullptr;  // HMODULE or the dlopen handle
};

}  // namespace zevo::os

#endif  // ZEVO_OS_DYNAMIC_LIBRARY_H_
