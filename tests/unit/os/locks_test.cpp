#include "os/recursive_lock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "zevo/thread_annotations.h"

namespace zevo::os {
namespace {

struct Counter {
  RecursiveLock lock;
  int value ZEVO_GUARDED_BY(lock) = 0;

  // Takes the lock again while holding it.
  void AddTwice() {
    RecursiveLockGuard outer(lock);
    ++value;
    AddOnce();
  }
  void AddOnce() {
    RecursiveLockGuard inner(lock);
    ++value;
  }
};

// The reader-writer lock is std::shared_mutex behind annotated guards: the
// soak's thread-sanitizer run watches it in use.
TEST(RecursiveLockTest, ReentersOnOneThreadAndExcludesOthers) {
  Counter counter;
  counter.AddTwice();
  // Every entry was left as often as it was taken, or the other threads
  // would never get in; and they never interleave their plain increments.
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&counter] {
      for (int i = 0; i < kRounds; ++i) counter.AddTwice();
    });
  }
  for (auto& thread : threads) thread.join();
  RecursiveLockGuard guard(counter.lock);
  EXPECT_EQ(counter.value, 2 + 2 * kThreads * kRounds);
}

}  // namespace
}  // namespace zevo::os
