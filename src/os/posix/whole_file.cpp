#include "os/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <new>
#include <string>

#include "os/text.h"

namespace zevo::os {

namespace {

// Closes a descriptor without losing the errno of an earlier failure.
class Descriptor {
 public:
  explicit Descriptor(int fd) noexcept : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const noexcept { return fd_; }
  void Reset() noexcept {
    if (fd_ < 0) return;
    const int saved = errno;
    ::close(fd_);
    errno = saved;
    fd_ = -1;
  }

 private:
  int fd_;
};

// Retries reads and writes that a signal interrupted.
template <class Call>
ssize_t Retry(Call call) {
  ssize_t result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

ReadFileResult ReadWholeFile(std::u16string_view path,
                             std::vector<std::uint8_t>& bytes) noexcept {
  try {
    const Descriptor fd(::open(Utf16ToUtf8(path).c_str(),
                               O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
      return errno == ENOENT ? ReadFileResult::kMissing
                             : ReadFileResult::kFailed;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return ReadFileResult::kFailed;
    if (!S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) >
            std::numeric_limits<std::uint32_t>::max()) {
      errno = EFBIG;
      return ReadFileResult::kFailed;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = Retry(
          [&] { return ::read(fd.get(), bytes.data() + done, bytes.size() - done); });
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
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC |
                      (writeThrough ? O_SYNC : 0);
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

bool NewFile::Write(const std::uint8_t* data, std::uint32_t size,
                    std::uint32_t* written) noexcept {
  *written = 0;
  if (!handle_) {
    errno = EBADF;
    return false;
  }
  while (*written < size) {
    const ssize_t n = Retry([&] {
      return ::write(handle_->descriptor.get(), data + *written,
                     size - *written);
    });
    if (n < 0) return false;
    if (n == 0) break;  // short write: the caller compares the counts
    *written += static_cast<std::uint32_t>(n);
  }
  return true;
}

void NewFile::Close() noexcept { handle_.reset(); }

}  // namespace zevo::os
