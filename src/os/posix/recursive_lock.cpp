#include "os/recursive_lock.h"

#include <mutex>
#include <new>

namespace zevo::os {

namespace {

using Native = std::recursive_mutex;

Native& NativeOf(unsigned char* storage) { return *std::launder(reinterpret_cast<Native*>(storage)); }

}  // namespace

RecursiveLock::RecursiveLock() noexcept {
  static_assert(sizeof(Native) <= kStorageSize, "storage too small");
  static_assert(alignof(Native) <= kStorageAlign, "storage under-aligned");
  new (storage_) Native();
}

RecursiveLock::~RecursiveLock() { NativeOf(storage_).~Native(); }

void RecursiveLock::Lock() noexcept { NativeOf(storage_).lock(); }

void RecursiveLock::Unlock() noexcept { NativeOf(storage_).unlock(); }

}  // namespace zevo::os
