// The module's recursive lock: the thread that holds it may take it again
// and must release it as many times. Windows: a critical section; POSIX:
// std::recursive_mutex. The platform object lives in opaque storage so that
// no platform header leaks out of src/os/.
#ifndef ZEVO_OS_RECURSIVE_LOCK_H_
#define ZEVO_OS_RECURSIVE_LOCK_H_

#include <cstddef>

#include "zevo/thread_annotations.h"

namespace zevo::os {

class ZEVO_CAPABILITY("mutex") RecursiveLock {
 public:
  RecursiveLock() noexcept;
  ~RecursiveLock();

  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  // Blocks until the calling thread holds the lock. A thread that already
  // holds it gets it again at once. (The analysis does not model
  // re-entry: take it again only from a function that does not know it
  // is held.)
  void Lock() noexcept ZEVO_ACQUIRE();

  // REQUIRES: the calling thread holds the lock.
  void Unlock() noexcept ZEVO_RELEASE();

 private:
  // Large and aligned enough for a CRITICAL_SECTION (40 bytes on x64) and
  // for std::recursive_mutex on every supported C library; the .cpp files
  // check this at compile time.
  static constexpr std::size_t kStorageSize = 64;
  static constexpr std::size_t kStorageAlign = 16;
  alignas(kStorageAlign) unsigned char storage_[kStorageSize];
};

// Holds a RecursiveLock for the lifetime of a scope.
class ZEVO_SCOPED_CAPABILITY RecursiveLockGuard {
 public:
  explicit RecursiveLockGuard(RecursiveLock& lock) noexcept ZEVO_ACQUIRE(lock) : lock_(lock) { lock_.Lock(); }
  ~RecursiveLockGuard() ZEVO_RELEASE() { lock_.Unlock(); }

  RecursiveLockGuard(const RecursiveLockGuard&) = delete;
  RecursiveLockGuard& operator=(const RecursiveLockGuard&) = delete;

 private:
  RecursiveLock& lock_;
};

}  // namespace zevo::os

#endif  // ZEVO_OS_RECURSIVE_LOCK_H_
