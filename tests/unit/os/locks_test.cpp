#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "os/recursive_lock.h"
#include "os/rw_lock.h"
#include "zevo/thread_annotations.h"

namespace zevo::os {
namespace {

void RunThreads(int count, const std::function<void()>& body) {
  std::vector<std::thread> threads;
  for (int t = 0; t < count; ++t) threads.emplace_back(body);
  for (auto& thread : threads) thread.join();
}

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

TEST(RecursiveLockTest, ReentersOnOneThreadAndExcludesOthers) {
  Counter counter;
  counter.AddTwice();
  // Every entry was left as often as it was taken, or the other threads
  // would never get in; and they never interleave their plain increments.
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  RunThreads(kThreads, [&counter] {
    for (int i = 0; i < kRounds; ++i) counter.AddTwice();
  });
  RecursiveLockGuard guard(counter.lock);
  EXPECT_EQ(counter.value, 2 + 2 * kThreads * kRounds);
}

struct Pair {
  ReaderWriterLock lock;
  int first ZEVO_GUARDED_BY(lock) = 0;
  int second ZEVO_GUARDED_BY(lock) = 0;
};

TEST(ReaderWriterLockTest, WriterExcludesReadersAndWriters) {
  Pair pair;
  constexpr int kRounds = 5000;
  std::atomic<int> torn{0};
  std::atomic<int> next{0};
  RunThreads(4, [&] {
    const bool writer = next++ % 2 == 0;
    for (int i = 0; i < kRounds; ++i) {
      if (writer) {
        WriterGuard guard(pair.lock);
        ++pair.first;
        ++pair.second;
      } else {
        ReaderGuard guard(pair.lock);
        if (pair.first != pair.second) ++torn;
      }
    }
  });
  ReaderGuard guard(pair.lock);
  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(pair.first, 2 * kRounds);
  EXPECT_EQ(pair.second, 2 * kRounds);
}

}  // namespace
}  // namespace zevo::os
