#include "os/tick_count.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zevo::os {
namespace {

TEST(TickCountTest, NeverGoesBackAndAdvances) {
  const std::uint64_t start = TickCount();
  std::uint64_t previous = start;
  // Bounded by the standard clock so that a stuck counter fails, not hangs.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (previous == start && std::chrono::steady_clock::now() < deadline) {
    const std::uint64_t now = TickCount();
    ASSERT_GE(now, previous);
    previous = now;
  }
  EXPECT_GT(previous, start);
  EXPECT_GT(start, 0u);
}

}  // namespace
}  // namespace zevo::os
