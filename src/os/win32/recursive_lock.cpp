#include "os/recursive_lock.h"

#include <windows.h>

#include <new>

namespace zevo::os {

namespace {

// A critical section is recursive by nature: the owning thread may enter
// it again and leaves it once per entry.
CRITICAL_SECTION* NativeOf(unsigned char* storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

}  // namespace

RecursiveLock::RecursiveLock() noexcept {
  static_assert(sizeof(CRITICAL_SECTION) <= kStorageSize, "storage too small");
  static_assert(alignof(CRITICAL_SECTION) <= kStorageAlign, "storage under-aligned");
  InitializeCriticalSection(new (storage_) CRITICAL_SECTION);
}

RecursiveLock::~RecursiveLock() { DeleteCriticalSection(NativeOf(storage_)); }

void RecursiveLock::Lock() noexcept { EnterCriticalSection(NativeOf(storage_)); }

void RecursiveLock::Unlock() noexcept { LeaveCriticalSection(NativeOf(storage_)); }

}  // namespace zevo::os
