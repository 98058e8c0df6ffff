#include "os/guid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "os/text.h"

namespace zevo::os {
namespace {

// "{XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX}": upper-case hex, a random
// (version 4, RFC 4122 variant) GUID; unique across threads.
TEST(GuidTest, TextHasTheBracedRegistryForm) {
  constexpr std::u16string_view kForm = u"{HHHHHHHH-HHHH-4HHH-VHHH-HHHHHHHHHHHH}";
  static_assert(kForm.size() == kGuidTextLength);
  constexpr int kThreads = 4, kPerThread = 500;
  std::vector<std::vector<std::u16string>> made(kThreads);
  std::vector<std::thread> threads;
  for (auto& list : made) {
    threads.emplace_back([&list] {
      for (int i = 0; i < kPerThread; ++i) list.push_back(NewGuidText());
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<std::u16string> distinct;
  for (const auto& list : made) {
    for (const std::u16string& text : list) {
      ASSERT_EQ(text.size(), kForm.size()) << Utf16ToUtf8(text);
      for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const std::u16string_view allowed = kForm[pos] == u'H'   ? u"0123456789ABCDEF"
                                            : kForm[pos] == u'V' ? u"89AB"
                                                                 : kForm.substr(pos, 1);
        ASSERT_NE(allowed.find(text[pos]), std::u16string_view::npos) << Utf16ToUtf8(text) << " at " << pos;
      }
      distinct.insert(text);
    }
  }
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kThreads * kPerThread));
}

}  // namespace
}  // namespace zevo::os
