#include "os/path.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zevo::os {
namespace {

TEST(PathTest, SeparatorIsThePlatformsPreferredOne) {
  static_assert(kPathSeparator == std::filesystem::path::preferred_separator);
  static_assert(kPathSeparatorString.size() == 1 &&
                kPathSeparatorString[0] == kPathSeparator);
}

}  // namespace
}  // namespace zevo::os
