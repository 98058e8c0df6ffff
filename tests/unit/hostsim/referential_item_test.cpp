#include "sim/referential_job.h"

#include <gtest/gtest.h>

#include <string>

namespace zevo::hostsim {
namespace {

// A reference is never cut: a shortened path would name another file.
TEST(ReferentialItem, TextsFillTheirFieldsOrTheReferenceIsRefused) {
  const std::u16string longest(260, u'a');
  const auto item = MakeReferentialItem({longest, u"*.exe", u"note"});
  ASSERT_TRUE(item.has_value());
  EXPECT_EQ(std::u16string(item->first), longest);
  EXPECT_EQ(item->first[260], u'\0');
  EXPECT_EQ(std::u16string(item->second), u"*.exe");
  EXPECT_EQ(std::u16string(item->third), u"note");
  EXPECT_EQ(item->third[260], u'\0');

  EXPECT_FALSE(MakeReferentialItem({longest + u"b", u"", u""}).has_value());
  EXPECT_FALSE(MakeReferentialItem({u"/a", u"", std::u16string(261, u'n')}).has_value());
  EXPECT_FALSE(MakeReferentialItem({std::u16string(u"/a\0/b", 5), u"", u""}).has_value());
}

}  // namespace
}  // namespace zevo::hostsim
