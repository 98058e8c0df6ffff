#include "os/text.h"

#include <gtest/gtest.h>

#include <string>

namespace zevo::os {
namespace {

const std::u16string kReplacement16(1, u'\uFFFD');
const std::string kReplacement8 = "\xEF\xBF\xBD";

TEST(TextTest, RoundTripsEveryEncodingLength) {
  // 1, 2, 3 and 4 bytes: 'A', e-acute, euro sign, an emoji (surrogate pair).
  const std::u16string utf16 = u"A\u00E9\u20AC\U0001F600";
  const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
  EXPECT_EQ(Utf8ToUtf16(utf8), utf16);
  // The edges of each range.
  const std::u16string edges = u"\u007F\u0080\u07FF\u0800\uFFFF\U00010000\U0010FFFF";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(edges)), edges);
}

TEST(TextTest, LoneSurrogatesBecomeReplacementCharacters) {
  const char16_t high = 0xD83D;
  const char16_t low = 0xDE00;
  EXPECT_EQ(Utf16ToUtf8(std::u16string{high}), kReplacement8);
  EXPECT_EQ(Utf16ToUtf8(std::u16string{low}), kReplacement8);
  EXPECT_EQ(Utf16ToUtf8(std::u16string{high, u'x'}), kReplacement8 + "x");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{low, high}), kReplacement8 + kReplacement8);
  EXPECT_EQ(Utf16ToUtf8(std::u16string{high, high, low}), kReplacement8 + "\xF0\x9F\x98\x80");
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  const std::u16string r = kReplacement16;
  // Each case is followed by 'x' to show that decoding picks up again.
  EXPECT_EQ(Utf8ToUtf16("\x80x"), r + u"x");                          // stray continuation
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAFx"), r + r + u"x");                  // overlong '/'
  EXPECT_EQ(Utf8ToUtf16("\xE0\x80\xAFx"), r + r + r + u"x");          // overlong
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82x"), r + u"x");                      // cut-short sequence
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), r);                              // cut at the end
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80x"), r + r + r + u"x");          // surrogate
  EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80x"), r + r + r + r + u"x");  // too big
  EXPECT_EQ(Utf8ToUtf16("\xFFx"), r + u"x");
}

}  // namespace
}  // namespace zevo::os
