// Registry names as file names of the POSIX folder tree, and back.
#include "os/posix/registry_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "os/text.h"

namespace zevo::os::posix {
namespace {

using std::nullopt;

struct NameCase {
  std::u16string name;
  std::optional<std::string> file;
};

TEST(RegistryNames, KeyNamesEscapeRefuseAndComeBack) {
  const NameCase cases[] = {
      {u"Plain", "Plain"},     {u"=lead", "%3Dlead"},
      {u"mid=dle", "mid=dle"}, {u"100%", "100%25"},
      {u"%=", "%25="},         {u"\u00e9\U0001F600", "\xC3\xA9\xF0\x9F\x98\x80"},
      {u"...", "..."},         {std::u16string(255, u'k'), std::string(255, 'k')},
      {u"", nullopt},          {u".", nullopt},
      {u"..", nullopt},        {std::u16string(256, u'k'), nullopt},
      {u"a/b", nullopt},       {std::u16string(u"a\0b", 3), nullopt},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    EXPECT_EQ(KeyFileName(c.name), c.file);
    if (c.file) {
      EXPECT_EQ(KeyNameOf(*c.file), c.name);
    }
  }
}

TEST(RegistryNames, ValueNamesGetTheirPrefixAndEscapes) {
  const NameCase cases[] = {
      {u"", "="},
      {u"S", "=S"},
      {u"=x", "==x"},
      {u"a/b", "=a%2Fb"},
      {u"50%", "=50%25"},
      {u"a\\b", "=a\\b"},
      {std::u16string(u"a\0b", 3), nullopt},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    EXPECT_EQ(ValueFileName(c.name), c.file);
  }
}

TEST(RegistryNames, OnlyWholeEscapesAreDecoded) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"%41", u"A"},   {"x%41%3d", u"xA="}, {"%4", u"%4"},   {"a%2", u"a%2"},
      {"%zz", u"%zz"}, {"%G1", u"%G1"},     {"%%41", u"%A"}, {"%c3%A9", u"\u00e9"},
  };
  for (const auto& [file, name] : cases) EXPECT_EQ(KeyNameOf(file), name) << file;
}

TEST(RegistryNames, CaseIsFoldedForAsciiLettersOnly) {
  EXPECT_TRUE(SameIgnoringAsciiCase("AbZ", "aBz"));
  EXPECT_TRUE(SameIgnoringAsciiCase("", ""));
  EXPECT_FALSE(SameIgnoringAsciiCase("abc", "abd"));
  EXPECT_FALSE(SameIgnoringAsciiCase("ab", "abc"));
  EXPECT_FALSE(SameIgnoringAsciiCase("@[", "`{"));
  EXPECT_FALSE(SameIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));
}

}  // namespace
}  // namespace zevo::os::posix
