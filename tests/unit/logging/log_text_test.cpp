#include "log/log_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace zevo::logging {
namespace {

enum class Kind : int32_t { kMinusOne = -1, kTen = 10 };

TEST(LogText, IntegersAreLowerCaseHexWithTheirOwnWidth) {
  EXPECT_EQ(Concat(0, u' ', int64_t{0}), u"0 0");
  EXPECT_EQ(Concat(1), u"0x1");
  EXPECT_EQ(Concat(-1), u"0xffffffff");
  EXPECT_EQ(Concat(std::numeric_limits<int32_t>::min()), u"0x80000000");
  // Narrow types use the 32-bit rule, 64-bit types (milliseconds) their own.
  EXPECT_EQ(Concat(int16_t{-1}), u"0xffffffff");
  EXPECT_EQ(Concat(uint8_t{200}), u"0xc8");
  EXPECT_EQ(Concat(int64_t{-2000}), u"0xfffffffffffff830");
  EXPECT_EQ(Concat(int64_t{0x1234567890}), u"0x1234567890");
  EXPECT_EQ(Concat(Kind::kMinusOne, u' ', Kind::kTen), u"0xffffffff 0xa");
}

TEST(LogText, DecimalOnlyWhenAskedFor) {
  EXPECT_EQ(Concat(Dec(0), u' ', Dec(1248), u' ', Dec(-5)), u"0 1248 -5");
  EXPECT_EQ(Concat(Dec(std::numeric_limits<int64_t>::min())), u"-9223372036854775808");
  EXPECT_EQ(Concat(Dec(std::numeric_limits<uint64_t>::max())), u"18446744073709551615");
}

TEST(LogText, TextsCharactersAndBooleans) {
  const std::u16string owned = u"wstrRestoreFile";
  const char16_t* no_text = nullptr;
  const char* no_narrow = nullptr;
  EXPECT_EQ(Concat(u"==> ", owned, u',', std::u16string_view(u"abc", 2)), u"==> wstrRestoreFile,ab");
  EXPECT_EQ(Concat("narrow ", std::string("string"), ' ', std::string_view("v")), u"narrow string v");
  EXPECT_EQ(Concat("caf\xc3\xa9"), u"caf\uFFFD\uFFFD");  // ASCII only
  EXPECT_EQ(Concat(true, u'/', false), u"true/false");
  EXPECT_EQ(Concat(u"a", no_text, no_narrow, u"b"), u"ab");
  EXPECT_EQ(Concat(u"\xD83D\xDE00"), u"\xD83D\xDE00");
}

}  // namespace
}  // namespace zevo::logging
