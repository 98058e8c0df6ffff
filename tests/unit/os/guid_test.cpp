#include "os/guid.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "os/text.h"

namespace zevo::os {
namespace {

// "{XXXXXXXX-XXXX-4XXX-YXXX-XXXXXXXXXXXX}": upper-case hex, a random
// (version 4, RFC 4122 variant) GUID.
TEST(GuidTest, TextHasTheBracedRegistryFormAndIsUnique) {
  constexpr std::u16string_view kForm = u"{HHHHHHHH-HHHH-4HHH-VHHH-HHHHHHHHHHHH}";
  static_assert(kForm.size() == kGuidTextLength);
  std::set<std::u16string> distinct;
  for (int i = 0; i < 2000; ++i) {
    const std::u16string text = NewGuidText();
    ASSERT_EQ(text.size(), kForm.size()) << Utf16ToUtf8(text);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
      const std::u16string_view allowed = kForm[pos] == u'H'   ? u"0123456789ABCDEF"
                                          : kForm[pos] == u'V' ? u"89AB"
                                                               : kForm.substr(pos, 1);
      ASSERT_NE(allowed.find(text[pos]), std::u16string_view::npos) << Utf16ToUtf8(text) << " at " << pos;
    }
    distinct.insert(text);
  }
  EXPECT_EQ(distinct.size(), 2000u);
}

}  // namespace
}  // namespace zevo::os
