#include "os/dynamic_library.h"

#include <dlfcn.h>

#include <cerrno>
#include <new>
#include <string>
#include <utility>

#include "os/posix/dl_error.h"
#include "os/text.h"

namespace zevo::os {

namespace {

// errno values for failures the loader reports without one.
constexpr int kLoadFailed = ENOEXEC;
constexpr int kSymbolMissing = ENOENT;
constexpr int kReleaseFailed = EINVAL;

// Releases without disturbing the caller's last error: used where the
// outcome cannot be reported.
void ReleaseQuietly(void* handle) noexcept {
  const int saved = errno;
  dlclose(handle);
  errno = saved;
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
  // dlopen(nullptr) would hand out the main program, and a NUL inside the
  // path would silently load a different file.
  if (fullPath.empty() || fullPath.find(u'\0') != std::u16string::npos) {
    posix::ClearDlError();
    errno = EINVAL;
    return DynamicLibrary();
  }
  void* handle = nullptr;
  try {
    const std::string path = Utf16ToUtf8(fullPath);
    dlerror();  // drop a stale message
    errno = 0;
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) posix::RecordDlError(dlerror(), kLoadFailed);
  } catch (const std::bad_alloc&) {
    posix::ClearDlError();
    errno = ENOMEM;
    return DynamicLibrary();
  }
  if (handle != nullptr) posix::ClearDlError();
  return DynamicLibrary(handle);
}

void* DynamicLibrary::Symbol(const char* name) const noexcept {
  if (handle_ == nullptr || name == nullptr) return nullptr;
  dlerror();
  errno = 0;
  void* address = dlsym(handle_, name);
  // A symbol may legitimately be null; only dlerror() tells a failure.
  if (address == nullptr) {
    if (const char* text = dlerror()) {
      posix::RecordDlError(text, kSymbolMissing);
    }
  }
  return address;
}

bool DynamicLibrary::Release() noexcept {
  if (handle_ == nullptr) return false;
  dlerror();
  errno = 0;
  if (dlclose(handle_) != 0) {
    posix::RecordDlError(dlerror(), kReleaseFailed);
    return false;
  }
  handle_ = nullptr;
  posix::ClearDlError();
  return true;
}

}  // namespace zevo::os
