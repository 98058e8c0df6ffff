#include "os/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "os/posix/descriptor.h"
#include "os/text.h"

namespace zevo::os {

namespace {

// The UTF-8 form of `path`; false (errno ENOMEM) when it cannot be made.
bool ToNative(std::u16string_view path, std::string& native) noexcept {
  try {
    native = Utf16ToUtf8(path);
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

using posix::Descriptor;

struct DirCloser {
  void operator()(DIR* dir) const noexcept {
    const int saved = errno;
    ::closedir(dir);
    errno = saved;
  }
};

bool CopyBytes(int from, int to) noexcept {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return false;
      done += w;
    }
  }
}

// A move across file systems: a complete, flushed copy first; the original
// goes only once the copy is safe. A failed copy is removed again.
bool CopyThenUnlink(const std::string& from, const std::string& to) noexcept {
  const Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (source.get() < 0) return false;
  struct stat info {};
  if (::fstat(source.get(), &info) != 0) return false;
  if (!S_ISREG(info.st_mode)) {
    errno = EXDEV;  // folders do not move across file systems, as on Windows
    return false;
  }
  bool copied = false;
  {
    const Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777));
    if (target.get() < 0) return false;
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    copied =
        CopyBytes(source.get(), target.get()) && ::futimens(target.get(), times) == 0 && ::fsync(target.get()) == 0;
  }
  if (!copied) {
    const int saved = errno;
    ::unlink(to.c_str());
    errno = saved;
    return false;
  }
  // The copy is complete: an original that cannot be removed is left as a
  // second copy rather than reported as a failed move.
  ::unlink(from.c_str());
  return true;
}

}  // namespace

bool CreateFolder(std::u16string_view path) noexcept {
  std::string native;
  return ToNative(path, native) && ::mkdir(native.c_str(), 0777) == 0;
}

bool PathExists(std::u16string_view path) noexcept {
  std::string native;
  return ToNative(path, native) && ::access(native.c_str(), F_OK) == 0;
}

bool MoveFileTo(std::u16string_view from, std::u16string_view to) noexcept {
  std::string source;
  std::string target;
  if (!ToNative(from, source) || !ToNative(to, target)) return false;
  if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno == EINVAL || errno == ENOSYS) {
    // The file system cannot rename without replacing: a hard link refuses
    // an existing target just the same.
    if (::link(source.c_str(), target.c_str()) == 0) {
      ::unlink(source.c_str());
      return true;
    }
  }
  if (errno == EXDEV) return CopyThenUnlink(source, target);
  return false;
}

bool DeleteAtRestart(std::u16string_view /*path*/) noexcept {
  errno = ENOSYS;
  return false;
}

bool RemoveFolder(std::u16string_view path) noexcept {
  std::string native;
  return ToNative(path, native) && ::rmdir(native.c_str()) == 0;
}

bool FindFirstMatch(std::u16string_view folder, std::u16string_view pattern, std::u16string& name) noexcept {
  std::string directory;
  std::string glob;
  if (!ToNative(folder, directory) || !ToNative(pattern, glob)) return false;
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(directory.empty() ? "." : directory.c_str()));
  if (!dir) return false;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (entry == nullptr) {
      if (errno == 0) errno = ENOENT;
      return false;
    }
    const std::string_view entryName(entry->d_name);
    if (entryName == "." || entryName == "..") continue;
    if (::fnmatch(glob.c_str(), entry->d_name, 0) != 0) continue;
    try {
      name = Utf8ToUtf16(entryName);
      return true;
    } catch (const std::bad_alloc&) {
      errno = ENOMEM;
      return false;
    }
  }
}

bool GetFullPath(std::u16string_view path, std::u16string& full) noexcept {
  std::string native;
  if (!ToNative(path, native)) return false;
  if (native.empty()) {
    errno = ENOENT;
    return false;
  }
  try {
    std::filesystem::path absolute(native);
    if (absolute.is_relative()) {
      std::error_code error;
      const std::filesystem::path current = std::filesystem::current_path(error);
      if (error) {
        errno = error.value();
        return false;
      }
      absolute = current / absolute;
    }
    full = Utf8ToUtf16(absolute.lexically_normal().native());
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

}  // namespace zevo::os
