#include "config/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace zevo::config {
namespace {

TEST(NumberText, WholeTextDecimalOnly) {
  for (const char16_t* bad : {u"", u"-", u"+1", u" 1", u"1 ", u"12a", u"0x10", u"1.0", u"\uff11", u"--1"}) {
    EXPECT_FALSE(ParseSignedDecimal(bad)) << static_cast<int>(bad[0]);
    EXPECT_FALSE(ParseUnsignedDecimal(bad));
  }
  EXPECT_EQ(ParseSignedDecimal(u"-0"), 0);
  EXPECT_EQ(ParseSignedDecimal(u"007"), 7);
  EXPECT_EQ(ParseUnsignedDecimal(u"42"), 42u);
}

TEST(NumberText, SixtyFourBitLimitsAndSign) {
  EXPECT_EQ(ParseSignedDecimal(u"9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseSignedDecimal(u"-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(ParseSignedDecimal(u"9223372036854775808"));
  EXPECT_FALSE(ParseSignedDecimal(u"-9223372036854775809"));
  EXPECT_EQ(ParseUnsignedDecimal(u"18446744073709551615"), UINT64_MAX);
  EXPECT_FALSE(ParseUnsignedDecimal(u"18446744073709551616"));
  EXPECT_FALSE(ParseUnsignedDecimal(u"-1"));  // never wraps around
  EXPECT_FALSE(ParseUnsignedDecimal(u"-0"));
  EXPECT_FALSE(ParseSignedDecimal(u"00000000000000000000001"));  // longer than any 64-bit text

  EXPECT_EQ(FormatDecimal(std::int64_t{INT64_MIN}), u"-9223372036854775808");
  EXPECT_EQ(FormatDecimal(std::uint64_t{UINT64_MAX}), u"18446744073709551615");
  EXPECT_EQ(FormatDecimal(std::int64_t{0}), u"0");
}

}  // namespace
}  // namespace zevo::config
