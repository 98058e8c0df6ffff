// Annotated locks for the reference host libraries: a plain mutex and a
// reader/writer lock, each with a rigid scoped guard, so that the clang build
// checks them with -Wthread-safety. (The module has its own in src/os; host
// code never includes src/.)
#ifndef ZEVO_HOST_COMMON_SYNC_H_
#define ZEVO_HOST_COMMON_SYNC_H_

#include <mutex>
#include <shared_mutex>

#include "zevo/thread_annotations.h"

namespace zevo::host {

class ZEVO_CAPABILITY("mutex") Mutex {
 public:
  void Lock() ZEVO_ACQUIRE() { mu_.lock(); }
  void Unlock() ZEVO_RELEASE() { mu_.unlock(); }

 private:
  std::mutex mu_;
};

class ZEVO_SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex* mu) ZEVO_ACQUIRE(mu) : mu_(mu) { mu_->Lock(); }
  ~MutexLock() ZEVO_RELEASE() { mu_->Unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex* const mu_;
};

class ZEVO_CAPABILITY("shared_mutex") SharedMutex {
 public:
  void Lock() ZEVO_ACQUIRE() { mu_.lock(); }
  void Unlock() ZEVO_RELEASE() { mu_.unlock(); }
  void LockShared() ZEVO_ACQUIRE_SHARED() { mu_.lock_shared(); }
  void UnlockShared() ZEVO_RELEASE_SHARED() { mu_.unlock_shared(); }

 private:
  std::shared_mutex mu_;
};

class ZEVO_SCOPED_CAPABILITY WriterLock {
 public:
  explicit WriterLock(SharedMutex* mu) ZEVO_ACQUIRE(mu) : mu_(mu) { mu_->Lock(); }
  ~WriterLock() ZEVO_RELEASE() { mu_->Unlock(); }
  WriterLock(const WriterLock&) = delete;
  WriterLock& operator=(const WriterLock&) = delete;

 private:
  SharedMutex* const mu_;
};

class ZEVO_SCOPED_CAPABILITY ReaderLock {
 public:
  explicit ReaderLock(SharedMutex* mu) ZEVO_ACQUIRE_SHARED(mu) : mu_(mu) { mu_->LockShared(); }
  ~ReaderLock() ZEVO_RELEASE() { mu_->UnlockShared(); }
  ReaderLock(const ReaderLock&) = delete;
  ReaderLock& operator=(const ReaderLock&) = delete;

 private:
  SharedMutex* const mu_;
};

}  // namespace zevo::host

#endif  // ZEVO_HOST_COMMON_SYNC_H_
