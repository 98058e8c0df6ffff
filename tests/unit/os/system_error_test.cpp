#include "os/system_error.h"

#include <gtest/gtest.h>

#include <string>

namespace zevo::os {
namespace {

TEST(SystemErrorTest, FormatsCodeAndMessageAsTheyCome) {
  EXPECT_EQ(FormatErrorText(126, u"The module was not found.\r\n"),
            u"failed with error 126: The module was not found.\r\n");
  // Windows codes above 0x7fffffff print as negative numbers.
  EXPECT_EQ(FormatErrorText(static_cast<std::int32_t>(0x80070002u), u"x"), u"failed with error -2147024894: x");
  EXPECT_EQ(FormatErrorText(0, u""), u"failed with error 0: ");
}

TEST(SystemErrorTest, CutsLongTextsWithoutSplittingAPair) {
  const std::u16string prefix = u"failed with error 7: ";
  const std::u16string longMessage(400, u'm');
  std::u16string text = FormatErrorText(7, longMessage);
  ASSERT_EQ(text.size(), kMaxErrorTextLength);
  EXPECT_EQ(text.substr(0, prefix.size()), prefix);

  // Exactly fitting: nothing is cut.
  const std::u16string fitting(kMaxErrorTextLength - prefix.size(), u'f');
  EXPECT_EQ(FormatErrorText(7, fitting), prefix + fitting);

  // A pair that would straddle the limit goes as a whole.
  std::u16string straddling(kMaxErrorTextLength - prefix.size() - 1, u's');
  straddling += u"\U0001F600";
  text = FormatErrorText(7, straddling);
  EXPECT_EQ(text.size(), kMaxErrorTextLength - 1);
  EXPECT_EQ(text.back(), u's');

  // A pair that ends exactly at the limit stays.
  std::u16string ending(kMaxErrorTextLength - prefix.size() - 2, u'e');
  ending += u"\U0001F600";
  EXPECT_EQ(FormatErrorText(7, ending + u"tail"), prefix + ending);
}

}  // namespace
}  // namespace zevo::os
