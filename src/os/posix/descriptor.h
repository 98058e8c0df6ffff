// An owned POSIX file descriptor for the platform layer's file code, and
// the retry of calls a signal interrupted.
#ifndef ZEVO_OS_POSIX_DESCRIPTOR_H_
#define ZEVO_OS_POSIX_DESCRIPTOR_H_

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace zevo::os::posix {

// Closes the descriptor it holds when it goes or is reset. Closing keeps
// errno as it was, so the error of an earlier failed call survives the
// clean-up after it. A negative value holds nothing.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) noexcept : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const noexcept { return fd_; }

  // Closes what is held (errno kept) and holds `fd` instead.
  void Reset(int fd = -1) noexcept {
    if (fd_ >= 0) {
      const int saved = errno;
      ::close(fd_);
      errno = saved;
    }
    fd_ = fd;
  }

  // Gives the descriptor up, unclosed; the caller closes it.
  int Release() noexcept { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// Calls `call` again while it fails with EINTR (a read or write that a
// signal interrupted); answers its last result.
template <class Call>
auto RetryOnSignal(Call call) noexcept(noexcept(call())) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace zevo::os::posix

#endif  // ZEVO_OS_POSIX_DESCRIPTOR_H_
