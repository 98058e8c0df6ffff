#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "os/recursive_lock.h"
#include "os/rw_lock.h"
#include "os/thread_annotations.h"

namespace zevo::os {
namespace {

// Generous bound for "the other thread got there": only a deadlock or a lock
// that lets too few threads in can exhaust it.
constexpr auto kDeadlockGuard = std::chrono::seconds(30);

// Counts threads that reached a point; lets a test wait for a number of them.
class Rendezvous {
 public:
  void Arrive() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++arrived_;
    }
    changed_.notify_all();
  }
  bool WaitFor(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, kDeadlockGuard,
                             [&] { return arrived_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int arrived_ = 0;
};

struct Counter {
  RecursiveLock lock;
  int value ZEVO_GUARDED_BY(lock) = 0;

  // Takes the lock again while the caller holds it.
  void AddTwice() {
    RecursiveLockGuard outer(lock);
    ++value;
    AddOnce();
  }
  void AddOnce() {
    RecursiveLockGuard inner(lock);
    ++value;
  }
  int Read() {
    RecursiveLockGuard guard(lock);
    return value;
  }
};

TEST(RecursiveLockTest, ReentersOnOneThreadAndExcludesOthers) {
  Counter counter;
  counter.AddTwice();
  EXPECT_EQ(counter.Read(), 2);

  // Each entry was left as often as it was taken, so other threads get in;
  // and they never interleave their (non-atomic) updates.
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&counter] {
      for (int i = 0; i < kRounds; ++i) counter.AddTwice();
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter.Read(), 2 + 2 * kThreads * kRounds);
}

struct Pair {
  ReaderWriterLock lock;
  int first ZEVO_GUARDED_BY(lock) = 0;
  int second ZEVO_GUARDED_BY(lock) = 0;
};

TEST(ReaderWriterLockTest, LetsReadersInTogether) {
  ReaderWriterLock lock;
  Rendezvous inside;
  bool bothInside[2] = {false, false};
  auto reader = [&](int index) {
    ReaderGuard guard(lock);
    inside.Arrive();
    // Only possible if the other reader is inside at the same time.
    bothInside[index] = inside.WaitFor(2);
  };
  std::thread first(reader, 0);
  std::thread second(reader, 1);
  first.join();
  second.join();
  EXPECT_TRUE(bothInside[0]);
  EXPECT_TRUE(bothInside[1]);
}

TEST(ReaderWriterLockTest, WriterExcludesReadersAndWriters) {
  Pair pair;
  constexpr int kRounds = 5000;
  auto writer = [&pair] {
    for (int i = 0; i < kRounds; ++i) {
      WriterGuard guard(pair.lock);
      ++pair.first;
      ++pair.second;
    }
  };
  int torn = 0;
  auto reader = [&pair, &torn] {
    int seenTorn = 0;
    for (int i = 0; i < kRounds; ++i) {
      ReaderGuard guard(pair.lock);
      if (pair.first != pair.second) ++seenTorn;
    }
    WriterGuard guard(pair.lock);
    torn += seenTorn;
  };
  std::vector<std::thread> threads;
  threads.emplace_back(writer);
  threads.emplace_back(writer);
  threads.emplace_back(reader);
  threads.emplace_back(reader);
  for (auto& thread : threads) thread.join();

  ReaderGuard guard(pair.lock);
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(pair.first, 2 * kRounds);
  EXPECT_EQ(pair.second, 2 * kRounds);
}

}  // namespace
}  // namespace zevo::os
