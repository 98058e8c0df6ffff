#include "sim/shared_library.h"

#include <dlfcn.h>

namespace zevo::hostsim::platform {

void* OpenLibrary(const std::filesystem::path& file, std::string& error) noexcept {
  // RTLD_LOCAL: the module's symbols must not satisfy later libraries'
  // references, as with a Windows DLL.
  void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    try {
      const char* text = dlerror();
      error = text != nullptr ? text : "dlopen failed";
    } catch (...) {
    }
  }
  return library;
}

RawFunction FindFunction(void* library, const char* name) noexcept {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<RawFunction>(dlsym(library, name));
}

void CloseLibrary(void* library) noexcept {
  if (library != nullptr) dlclose(library);
}

bool IsLibraryLoaded(const std::filesystem::path& file) noexcept {
  // RTLD_NOLOAD hands out a further reference only to a library that is
  // still mapped; that reference is given back at once.
  void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  if (library == nullptr) return false;
  dlclose(library);
  return true;
}

}  // namespace zevo::hostsim::platform
