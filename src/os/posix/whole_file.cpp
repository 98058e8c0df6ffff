#include "os/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "os/posix/descriptor.h"
#include "os/text.h"

namespace zevo::os {

namespace {

using posix::Descriptor;
using posix::RetryOnSignal;

}  // namespace

ReadFileResult ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& bytes) noexcept {
  try {
    const Descriptor fd(::open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
      return errno == ENOENT ? ReadFileResult::kMissing : ReadFileResult::kFailed;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return ReadFileResult::kFailed;
    if (!S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) > std::numeric_limits<std::uint32_t>::max()) {
      errno = EFBIG;
      return ReadFileResult::kFailed;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = RetryOnSignal([&] { return ::read(fd.get(), bytes.data() + done, bytes.size() - done); });
      if (n < 0) return ReadFileResult::kFailed;
      if (n == 0) break;  // shrank meanwhile: keep what is there
      done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return ReadFileResult::kOk;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return ReadFileResult::kFailed;
  }
}

struct NewFile::Handle {
  explicit Handle(int fd) : descriptor(fd) {}
  Descriptor descriptor;
};

NewFile::NewFile() noexcept = default;
NewFile::~NewFile() = default;

bool NewFile::Create(std::u16string_view path, bool writeThrough) noexcept {
  Close();
  try {
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (writeThrough ? O_SYNC : 0);
    const int fd = ::open(Utf16ToUtf8(path).c_str(), flags, 0644);
    if (fd < 0) return false;
    handle_.reset(new (std::nothrow) Handle(fd));
    if (!handle_) {
      ::close(fd);
      errno = ENOMEM;
      return false;
    }
    return true;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

bool NewFile::Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) noexcept {
  *written = 0;
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  while (*written < size) {
    const ssize_t n =
        RetryOnSignal([&] { return ::write(handle_->descriptor.get(), data + *written, size - *written); });
    if (n < 0) return false;
    if (n == 0) break;  // short write: the caller compares the counts
    *written += static_cast<std::uint32_t>(n);
  }
  return true;
}

void NewFile::Close() noexcept { handle_.reset(); }

// --- FileReplacement -----------------------------------------------------------

namespace {

using Step = FileReplacement::Step;

// Fails the step when a test asked for it: errno is the asked error.
bool Faulted(Step step) noexcept {
  std::int32_t error = 0;
  if (!internal::TakeReplacementFault(step, error)) return false;
  errno = error;
  return true;
}

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a rename in `folder` survive a power loss.
bool FlushFolder(const std::string& folder) noexcept {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

}  // namespace

struct FileReplacement::State {
  std::string target;
  std::string temporary;
  Descriptor fd;
  bool ownsTemporary = false;  // made by us and not yet renamed

  ~State() {
    fd.Reset();
    const int saved = errno;
    if (ownsTemporary) ::unlink(temporary.c_str());
    errno = saved;
  }
};

FileReplacement::FileReplacement() noexcept = default;
FileReplacement::~FileReplacement() = default;

FileReplacement::CreateResult FileReplacement::Create(std::u16string_view target, bool writeThrough) noexcept {
  state_.reset();
  try {
    auto state = std::make_unique<State>();
    state->target = Utf16ToUtf8(target);
    state->temporary = Utf16ToUtf8(internal::TemporaryNameFor(target));
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | (writeThrough ? O_SYNC : 0);
    state->fd.Reset(Faulted(Step::kCreate) ? -1 : ::open(state->temporary.c_str(), flags, 0644));
    if (state->fd.get() < 0) {
      return errno == EACCES || errno == EPERM ? CreateResult::kRefused : CreateResult::kFailed;
    }
    state->ownsTemporary = true;
    // The replacement keeps the old file's permission bits: the file may
    // hold what others must not read.
    struct stat old {};
    if (::stat(state->target.c_str(), &old) == 0) ::fchmod(state->fd.get(), old.st_mode & 07777);  // best effort
    state_ = std::move(state);
    return CreateResult::kOk;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return CreateResult::kFailed;
  }
}

bool FileReplacement::Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written) noexcept {
  *written = 0;
  if (!state_ || state_->fd.get() < 0) {
    errno = EBADF;
    return false;
  }
  std::int32_t fault = 0;
  const bool torn = internal::TakeReplacementFault(Step::kWrite, fault);
  const std::uint32_t end = torn ? size / 2 : size;
  while (*written < end) {
    const ssize_t n = RetryOnSignal([&] { return ::write(state_->fd.get(), data + *written, end - *written); });
    if (n < 0) return false;
    if (n == 0) break;  // short write: the caller compares the counts
    *written += static_cast<std::uint32_t>(n);
  }
  if (torn) errno = fault;
  return !torn;
}

bool FileReplacement::Flush() noexcept {
  if (!state_ || state_->fd.get() < 0) {
    errno = EBADF;
    return false;
  }
  return !Faulted(Step::kFlush) && ::fsync(state_->fd.get()) == 0;
}

bool FileReplacement::Commit() noexcept {
  if (!state_ || state_->fd.get() < 0) {
    errno = EBADF;
    return false;
  }
  const int fd = state_->fd.Release();
  if (::close(fd) != 0 || Faulted(Step::kReplace) || ::rename(state_->temporary.c_str(), state_->target.c_str()) != 0) {
    return false;
  }
  state_->ownsTemporary = false;
  try {
    return FlushFolder(FolderOf(state_->target));
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }
}

}  // namespace zevo::os
