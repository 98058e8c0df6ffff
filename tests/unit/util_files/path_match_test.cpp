// The pure text functions of the file layer, one table each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/path.h"
#include "util/file_ops.h"
#include "util/path_match.h"

namespace zevo::util {
namespace {

// `text` with every '\' spelt as the platform's separator.
std::u16string P(std::u16string text) {
  for (char16_t& c : text) c = c == u'\\' ? os::kPathSeparator : c;
  return text;
}

TEST(PathMatch, Wildcards) {
  const std::u16string many(100000, u'a');
  const struct {
    std::u16string pattern, text;
    bool match;
  } cases[] = {{u"*.DLL", u"c:\\x\\a.dll", true},
               {u"a?c", u"abbc", false},
               {u"ab*", u"ab", true},
               {u"", u"", true},
               {u"", u"a", false},
               {u"?", u"", false},
               {u"*?*", u"x", true},
               {u"a*a", u"a", false},
               {u"*ab", u"aab", true},
               {u"a*b*c", u"aXcYb", false},
               {u"a*b?d*", u"abxbcd", true},
               {u"\u00fc*", u"\u00fcX", true},
               {u"*a*a*a*a*b", many, false},
               {u"*a*a*a*a*b", many + u"B", true}};
  for (const auto& c : cases) {
    EXPECT_EQ(MatchWildcard(c.pattern, c.text), c.match) << std::string(c.pattern.begin(), c.pattern.end());
  }
}

TEST(PathMatch, PatternLists) {
  const std::vector<std::u16string> patterns{u"", u"C:\\WINDOWS", u"*.tmp", u"ab"};
  const struct {
    std::u16string path;
    bool matches, equals;
  } cases[] = {{u"c:\\windows\\x.dll", true, false},
               {u"c:\\windows", true, true},
               {u"d:\\a.TMP", true, true},
               {u"AB", true, true},
               {u"abc", true, false},
               {u"a", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(PathMatchesAnyPattern(c.path, patterns), c.matches) << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(PathEqualsAnyPattern(c.path, patterns), c.equals) << std::string(c.path.begin(), c.path.end());
  }
  EXPECT_FALSE(PathMatchesAnyPattern(u"abc", {}));
}

TEST(PathMatch, ShortNames) {
  const struct {
    std::u16string path;
    bool isShort, hasNone;
  } cases[] = {
      {P(u"C:\\PROGRA~1"), true, false}, {P(u"PROGRA~1.TXT"), true, true}, {P(u"\\x\\PROGRA~1.HTML"), false, false},
      {P(u"\\AB~1"), false, true},       {P(u"\\ABC~1\\x"), false, false}, {P(u"\\ABCDEFG~1"), false, true},
      {P(u"\\PROGRA~X"), true, true},    {P(u"\\PROGRA~12"), false, true}, {u"", false, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsShortNameComponent(c.path.c_str()), c.isShort) << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(HasNoShortNameComponent(c.path.c_str()), c.hasNone) << std::string(c.path.begin(), c.path.end());
  }
  EXPECT_FALSE(IsShortNameComponent(nullptr));
  EXPECT_FALSE(GetLongPathCopy(nullptr));
  EXPECT_FALSE(GetLongPathCopy(P(u"\\no\\short\\name").c_str()));
  EXPECT_FALSE(GetLongPathCopy(P(u"\\nowhere~1\\ABCDEF~1").c_str()));  // missing, last part short
}

TEST(PathMatch, Extensions) {
  const struct {
    std::u16string name;
    int mode;
    bool ok;
    std::u16string changed;
  } changes[] = {{u"a.dll", 1, true, u"a.dll.cfg"},
                 {u"a.dll.cfg", 2, true, u"a.dll"},
                 {u"adll", 2, false, u"adll"},
                 {u"a.dll", 3, true, u"a.dll"}};
  for (const auto& c : changes) {
    std::u16string name = c.name;
    EXPECT_EQ(ChangeFileExtension(name, c.mode), c.ok);
    EXPECT_EQ(name, c.changed);
  }
  const struct {
    std::u16string name, extension;
    int mode;
    bool match;
  } matches[] = {{u"a.dll.cfg", u".dll", 2, true}, {u"a.dll", u"dll", 1, false},  {u"a.dll", u".dll", 1, true},
                 {u"a.DLL", u".dll", 1, false},    {u"a.cfg", u".cfg", 2, false}, {u"adll", u".dll", 1, false}};
  for (const auto& c : matches) {
    EXPECT_EQ(MatchFileExtension(c.name, c.extension, c.mode), c.match) << std::string(c.name.begin(), c.name.end());
  }
}

}  // namespace
}  // namespace zevo::util
