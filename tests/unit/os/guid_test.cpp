#include "os/guid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "os/text.h"

namespace zevo::os {
namespace {

bool IsUpperHex(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

TEST(GuidTest, TextHasTheBracedRegistryForm) {
  for (int i = 0; i < 100; ++i) {
    const std::u16string text = NewGuidText();
    ASSERT_EQ(text.size(), kGuidTextLength) << Utf16ToUtf8(text);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      if (pos == 0) {
        EXPECT_EQ(text[pos], u'{');
      } else if (pos == 37) {
        EXPECT_EQ(text[pos], u'}');
      } else if (pos == 9 || pos == 14 || pos == 19 || pos == 24) {
        EXPECT_EQ(text[pos], u'-') << Utf16ToUtf8(text);
      } else {
        EXPECT_TRUE(IsUpperHex(text[pos])) << Utf16ToUtf8(text);
      }
    }
    // A random (version 4, RFC 4122 variant) GUID.
    EXPECT_EQ(text[15], u'4') << Utf16ToUtf8(text);
    EXPECT_NE(std::u16string(u"89AB").find(text[20]), std::u16string::npos)
        << Utf16ToUtf8(text);
  }
}

TEST(GuidTest, TextsAreUniqueAcrossThreads) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 500;
  std::vector<std::vector<std::u16string>> made(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&made, t] {
      for (int i = 0; i < kPerThread; ++i) made[t].push_back(NewGuidText());
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<std::u16string> distinct;
  for (const auto& list : made) distinct.insert(list.begin(), list.end());
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kThreads * kPerThread));
}

}  // namespace
}  // namespace zevo::os
