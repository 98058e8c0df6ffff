#include "os/file_ops.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <new>
#include <string>

#include "os/file_system.h"
#include "os/posix/descriptor.h"
#include "os/text.h"

namespace zevo::os {

namespace {

struct ErrorPair {
  int errnoValue;
  std::int32_t win32;
};

// errno -> Windows number; the first row of a number is its way back.
constexpr ErrorPair kErrors[] = {
    {ENOENT, kErrorFileNotFound},          {ENOTDIR, kErrorPathNotFound},    {EACCES, kErrorAccessDenied},
    {EPERM, kErrorAccessDenied},           {EISDIR, kErrorAccessDenied},     {EROFS, kErrorAccessDenied},
    {ENOMEM, kErrorNotEnoughMemory},       {EXDEV, kErrorNotSameDevice},     {EBUSY, kErrorSharingViolation},
    {ETXTBSY, kErrorSharingViolation},     {EINVAL, kErrorInvalidParameter}, {ENOSPC, kErrorDiskFull},
    {ENOSYS, kErrorCallNotImplemented},    {ENOTEMPTY, kErrorDirNotEmpty},   {EEXIST, kErrorAlreadyExists},
    {ENAMETOOLONG, kErrorFilenameTooLong}, {EIO, kErrorGenFailure}};

bool ToNative(std::u16string_view path, std::string& native) noexcept {
  try {
    native = Utf16ToUtf8(path);
    if (native.empty()) {
      errno = ENOENT;
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

using posix::Descriptor;
using posix::RetryOnSignal;

bool CopyAll(int from, int to) noexcept {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = RetryOnSignal([&] { return ::read(from, buffer, sizeof buffer); });
    if (n <= 0) return n == 0;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = RetryOnSignal([&] { return ::write(to, buffer + done, static_cast<std::size_t>(n - done)); });
      if (w < 0) return false;
      done += w;
    }
  }
}

// Flushes the folder holding `path`, so that a rename in it survives a crash.
void SyncParent(const std::string& path) noexcept {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return;
  ::fsync(fd.get());
}

bool IsWritable(const struct stat& info) { return (info.st_mode & 0222) != 0; }

// The bytes, permission bits and times of `from` in a new sibling of `to`,
// flushed, then renamed over `to`: `to` is the old file or the whole new one.
bool CopyReplacing(const std::string& from, const std::string& to) noexcept {
  const Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) return false;
  struct stat info {};
  bool ok = ::fstat(source.get(), &info) == 0;
  if (ok && !S_ISREG(info.st_mode)) {
    errno = EISDIR;
    ok = false;
  }
  std::string temporary;
  Descriptor target;
  if (ok) {
    try {
      temporary = to + ".~copy" + std::to_string(::getpid());
    } catch (const std::bad_alloc&) {
      errno = ENOMEM;
      ok = false;
    }
  }
  if (ok) {
    target.Reset(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    ok = target.get() >= 0;
  }
  if (ok) {
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ok = CopyAll(source.get(), target.get()) && ::futimens(target.get(), times) == 0 && ::fsync(target.get()) == 0;
    target.Reset();
    ok = ok && ::rename(temporary.c_str(), to.c_str()) == 0;
    if (!ok) {
      const int saved = errno;
      ::unlink(temporary.c_str());
      errno = saved;
    }
  }
  return ok;
}

constexpr std::uint64_t kUnixEpochIn1601 = 116444736000000000ull;

std::uint64_t ToFileTime(const struct timespec& t) {
  return kUnixEpochIn1601 + static_cast<std::uint64_t>(t.tv_sec) * 10000000ull +
         static_cast<std::uint64_t>(t.tv_nsec) / 100;
}

struct timespec FromFileTime(std::uint64_t t) {
  const std::uint64_t since = t > kUnixEpochIn1601 ? t - kUnixEpochIn1601 : 0;
  struct timespec result {};
  result.tv_sec = static_cast<time_t>(since / 10000000ull);
  result.tv_nsec = static_cast<long>((since % 10000000ull) * 100);
  return result;
}

}  // namespace

std::int32_t LastWin32Error() noexcept {
  const int code = errno;
  if (code == 0) return 0;
  for (const ErrorPair& pair : kErrors) {
    if (pair.errnoValue == code) return pair.win32;
  }
  return kErrorGenFailure;
}

void SetLastWin32Error(std::int32_t code) noexcept {
  for (const ErrorPair& pair : kErrors) {
    if (pair.win32 == code) {
      errno = pair.errnoValue;
      return;
    }
  }
  errno = code == 0 ? 0 : EIO;
}

bool GetAttributes(std::u16string_view path, std::uint32_t& attributes) noexcept {
  std::string native;
  struct stat info {};
  if (!ToNative(path, native) || ::lstat(native.c_str(), &info) != 0) return false;
  std::uint32_t bits = 0;
  if (S_ISLNK(info.st_mode)) {
    bits |= kAttributeReparsePoint;
    if (::stat(native.c_str(), &info) != 0) info.st_mode = S_IFLNK | 0777;  // dangling
  }
  if (S_ISDIR(info.st_mode)) bits |= kAttributeDirectory;
  if (!IsWritable(info)) bits |= kAttributeReadOnly;
  attributes = bits == 0 ? kAttributeNormal : bits;
  return true;
}

bool SetAttributes(std::u16string_view path, std::uint32_t attributes) noexcept {
  std::string native;
  struct stat info {};
  if (!ToNative(path, native) || ::stat(native.c_str(), &info) != 0) return false;
  const mode_t mode = (attributes & kAttributeReadOnly) != 0 ? info.st_mode & ~mode_t{0222} : info.st_mode | S_IWUSR;
  return ::chmod(native.c_str(), mode & 07777) == 0;
}

bool MoveWithFlags(std::u16string_view from, std::u16string_view to, std::uint32_t flags) noexcept {
  if ((flags & kMoveDelayUntilReboot) != 0) {
    errno = ENOSYS;
    return false;
  }
  std::string source;
  std::string target;
  if (!ToNative(from, source) || !ToNative(to, target)) return false;
  if ((flags & kMoveReplaceExisting) == 0) {
    if (!MoveFileTo(from, to)) return false;
  } else if (::rename(source.c_str(), target.c_str()) != 0) {
    if (errno != EXDEV || (flags & kMoveCopyAllowed) == 0) return false;
    if (!CopyReplacing(source, target)) return false;
    ::unlink(source.c_str());
  }
  if ((flags & kMoveWriteThrough) != 0) SyncParent(target);
  return true;
}

bool DeleteFileAt(std::u16string_view path) noexcept {
  std::string native;
  struct stat info {};
  if (!ToNative(path, native) || ::lstat(native.c_str(), &info) != 0) return false;
  if (S_ISDIR(info.st_mode)) {
    errno = EACCES;  // as DeleteFileW on a folder
    return false;
  }
  return ::unlink(native.c_str()) == 0;
}

bool CopyFileTo(std::u16string_view from, std::u16string_view to, bool failIfExists) noexcept {
  std::string source;
  std::string target;
  if (!ToNative(from, source) || !ToNative(to, target)) return false;
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (failIfExists) {
      errno = EEXIST;
      return false;
    }
    if (S_ISDIR(existing.st_mode) || !IsWritable(existing)) {
      errno = EACCES;
      return false;
    }
  }
  return CopyReplacing(source, target);
}

bool MakeHardLink(std::u16string_view link, std::u16string_view existing) noexcept {
  std::string name;
  std::string target;
  return ToNative(link, name) && ToNative(existing, target) && ::link(target.c_str(), name.c_str()) == 0;
}

bool LongPathOf(std::u16string_view path, std::u16string& longPath) noexcept {
  std::string native;
  if (!ToNative(path, native) || ::access(native.c_str(), F_OK) != 0) return false;
  try {
    longPath.assign(path);
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

bool ModuleFileOf(void* module, std::u16string& path) noexcept {
  try {
    std::string name;
    if (module == nullptr) {
      char buffer[4096];
      const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
      if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return false;
      name.assign(buffer, static_cast<std::size_t>(n));
    } else {
      link_map* map = nullptr;
      if (::dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr) {
        errno = EINVAL;
        return false;
      }
      name = map->l_name;
    }
    path = Utf8ToUtf16(name);
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

bool ListFolder(std::u16string_view folder, std::vector<FolderEntry>& entries) noexcept {
  entries.clear();
  std::string native;
  if (!ToNative(folder, native)) return false;
  DIR* dir = ::opendir(native.c_str());
  if (dir == nullptr) return false;
  bool ok = true;
  try {
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir);
      if (entry == nullptr) {
        ok = errno == 0;
        break;
      }
      const std::string_view name(entry->d_name);
      if (name == "." || name == "..") continue;
      struct stat info {};
      if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
      entries.push_back(FolderEntry{Utf8ToUtf16(name), S_ISDIR(info.st_mode), S_ISLNK(info.st_mode)});
    }
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    ok = false;
  }
  const int saved = errno;
  ::closedir(dir);
  errno = saved;
  if (!ok) entries.clear();
  return ok;
}

struct ContentFile::Handle {
  Descriptor fd;
};

ContentFile::ContentFile() noexcept = default;
ContentFile::~ContentFile() { Close(); }

void ContentFile::Close() noexcept { handle_.reset(); }

namespace {

std::unique_ptr<ContentFile::Handle> OpenHandle(std::u16string_view path, int flags) noexcept {
  std::string native;
  if (!ToNative(path, native)) return nullptr;
  Descriptor fd(::open(native.c_str(), flags | O_CLOEXEC, 0666));
  if (fd.get() < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
    if (S_ISDIR(info.st_mode)) errno = EISDIR;
    return nullptr;
  }
  auto* handle = new (std::nothrow) ContentFile::Handle;
  if (handle == nullptr) {
    errno = ENOMEM;
    return nullptr;
  }
  handle->fd.Reset(fd.Release());
  return std::unique_ptr<ContentFile::Handle>(handle);
}

}  // namespace

bool ContentFile::OpenRead(std::u16string_view path, std::uint32_t /*share*/) noexcept {
  Close();
  handle_ = OpenHandle(path, O_RDONLY);
  return handle_ != nullptr;
}

bool ContentFile::OpenReadWrite(std::u16string_view path) noexcept {
  Close();
  handle_ = OpenHandle(path, O_RDWR);
  return handle_ != nullptr;
}

bool ContentFile::CreateAlways(std::u16string_view path) noexcept {
  Close();
  handle_ = OpenHandle(path, O_WRONLY | O_CREAT | O_TRUNC);
  return handle_ != nullptr;
}

bool ContentFile::Read(void* buffer, std::uint32_t size, std::uint32_t* done) noexcept {
  *done = 0;
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  const ssize_t n = RetryOnSignal([&] { return ::read(handle_->fd.get(), buffer, size); });
  if (n < 0) return false;
  *done = static_cast<std::uint32_t>(n);
  return true;
}

bool ContentFile::Write(const void* buffer, std::uint32_t size, std::uint32_t* done) noexcept {
  *done = 0;
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  const ssize_t n = RetryOnSignal([&] { return ::write(handle_->fd.get(), buffer, size); });
  if (n < 0) return false;
  *done = static_cast<std::uint32_t>(n);
  return true;
}

bool ContentFile::Flush() noexcept {
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  return ::fsync(handle_->fd.get()) == 0;
}

bool ContentFile::GetTimes(Times& times) noexcept {
  struct stat info {};
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  if (::fstat(handle_->fd.get(), &info) != 0) return false;
  times.creation = ToFileTime(info.st_ctim);
  times.lastAccess = ToFileTime(info.st_atim);
  times.lastWrite = ToFileTime(info.st_mtim);
  return true;
}

bool ContentFile::SetTimes(const Times& times) noexcept {
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  const struct timespec values[2] = {FromFileTime(times.lastAccess), FromFileTime(times.lastWrite)};
  return ::futimens(handle_->fd.get(), values) == 0;
}

}  // namespace zevo::os
