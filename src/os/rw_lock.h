// A reader/writer lock: any number of readers or one writer. Not recursive
// in either mode. Same on every platform (std::shared_mutex); the wrapper
// exists to carry the thread-safety annotations.
#ifndef ZEVO_OS_RW_LOCK_H_
#define ZEVO_OS_RW_LOCK_H_

#include <shared_mutex>

#include "zevo/thread_annotations.h"

namespace zevo::os {

class ZEVO_CAPABILITY("mutex") ReaderWriterLock {
 public:
  ReaderWriterLock() = default;
  ReaderWriterLock(const ReaderWriterLock&) = delete;
  ReaderWriterLock& operator=(const ReaderWriterLock&) = delete;

  // REQUIRES: the calling thread holds the lock in neither mode.
  void Lock() noexcept ZEVO_ACQUIRE() { mutex_.lock(); }
  void Unlock() noexcept ZEVO_RELEASE() { mutex_.unlock(); }

  // REQUIRES: the calling thread holds the lock in neither mode.
  void LockShared() noexcept ZEVO_ACQUIRE_SHARED() { mutex_.lock_shared(); }
  void UnlockShared() noexcept ZEVO_RELEASE_SHARED() { mutex_.unlock_shared(); }

 private:
  std::shared_mutex mutex_;
};

// Holds a ReaderWriterLock exclusively for the lifetime of a scope.
class ZEVO_SCOPED_CAPABILITY WriterGuard {
 public:
  explicit WriterGuard(ReaderWriterLock& lock) noexcept ZEVO_ACQUIRE(lock) : lock_(lock) { lock_.Lock(); }
  ~WriterGuard() ZEVO_RELEASE() { lock_.Unlock(); }

  WriterGuard(const WriterGuard&) = delete;
  WriterGuard& operator=(const WriterGuard&) = delete;

 private:
  ReaderWriterLock& lock_;
};

// Holds a ReaderWriterLock shared for the lifetime of a scope.
class ZEVO_SCOPED_CAPABILITY ReaderGuard {
 public:
  explicit ReaderGuard(ReaderWriterLock& lock) noexcept ZEVO_ACQUIRE_SHARED(lock) : lock_(lock) { lock_.LockShared(); }
  ~ReaderGuard() ZEVO_RELEASE() { lock_.UnlockShared(); }

  ReaderGuard(const ReaderGuard&) = delete;
  ReaderGuard& operator=(const ReaderGuard&) = delete;

 private:
  ReaderWriterLock& lock_;
};

}  // namespace zevo::os

#endif  // ZEVO_OS_RW_LOCK_H_
