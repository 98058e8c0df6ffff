#include "util/env_expand.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "env_test_support.h"
#include "os/text.h"
#include "zevo/result.h"

namespace zevo::util {
namespace {

using envtest::P;
using envtest::ScopedEnv;
using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

TEST(FindVariableTokens, PairsPercentSignsLeftToRight) {
  // An unpaired '%' fails; the tokens found until then stay. (The fuzz
  // target checks the shape of any token list.)
  const std::tuple<std::u16string, Pairs, bool> cases[] = {{u"%A%%B%", {{0, 3}, {3, 3}}, true},
                                                           {u"x%%y%ab%", {{1, 2}, {4, 4}}, true},
                                                           {u"no percent", {}, true},
                                                           {u"%A%B%", {{0, 3}}, false},
                                                           {u"a%b", {}, false}};
  for (const auto& [input, pairs, ok] : cases) {
    std::vector<VariableToken> tokens;
    EXPECT_EQ(FindVariableTokens(input, tokens), ok);
    Pairs found;
    for (const VariableToken& t : tokens) found.emplace_back(t.position, t.length);
    EXPECT_EQ(found, pairs) << os::Utf16ToUtf8(input);
  }
}

TEST(ExpandEnvironmentVar, ReplacesPlaceholdersOnly) {
  const EnvVarMapType vars{
      {u"%zevo_install_path%", P(u"C:\\Prog\\ZEVO\\")}, {u"%OS%", u"Windows_NT"}, {u"%TEMP%", u"T"}, {u"%EMPTY%", u""}};
  struct Case {
    std::u16string input;
    bool halvePercent;
    bool ok;
    std::u16string output;
  };
  const Case cases[] = {{P(u"%zevo_install_path%temp\\"), true, true, P(u"C:\\Prog\\ZEVO\\temp\\")},
                        {u"%OS%-%TEMP%-%OS%", true, true, u"Windows_NT-T-Windows_NT"},
                        {u"100%%", true, true, u"100%"},
                        {u"100%%", false, true, u"100%%"},
                        {u"%Temp%\\x", true, true, u"%Temp%\\x"},  // case differs: not a placeholder
                        {u"%NOPE%%TEMP%", true, true, u"%NOPE%T"},
                        {u"%TEMP%B%", true, false, u"%TEMP%B%"},   // unpaired: left as it was
                        {u"%EMPTY%debug", true, false, u"debug"},  // replaced, but unusable
                        {std::u16string(100000, u'%'), true, true, std::u16string(50000, u'%')}};
  for (const Case& c : cases) {
    std::u16string out = u"stale";
    EXPECT_EQ(ExpandEnvironmentVar(c.input, out, c.halvePercent, vars), c.ok);
    EXPECT_EQ(out, c.output) << os::Utf16ToUtf8(c.input.substr(0, 40));
  }
}

TEST(NormalizeEnvPath, QuotesPrefixesAndExpansion) {
  const ScopedEnv var("ZEVO_TEST_NORMALIZE", "val");
  const std::string longValue(1000, 'v');  // beyond the first buffer of 260
  const ScopedEnv longVar("ZEVO_TEST_LONG", longValue.c_str());
  const std::pair<std::u16string, std::u16string> cases[] = {
      {P(u"\"C:\\a b\\x\" -arg"), P(u"C:\\a b\\x -arg")},
      {u"\"unclosed", u"unclosed"},
      {u"\"\"", u""},
      // A long-path prefix is dropped and nothing expanded.
      {P(u"\\??\\C:\\%ZEVO_TEST_NORMALIZE%"), P(u"C:\\%ZEVO_TEST_NORMALIZE%")},
      {P(u"\"\\\\?\\C:\\x\""), P(u"C:\\x")},
      {P(u"%ZEVO_TEST_NORMALIZE%\\%ZEVO_TEST_UNSET_NAME%"), P(u"val\\%ZEVO_TEST_UNSET_NAME%")},
      {u"a%ZEVO_TEST_LONG%b", std::u16string(u"a").append(1000, u'v').append(u"b")}};
  for (const auto& [input, output] : cases) {
    std::u16string path = input;
    EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
    EXPECT_EQ(path, output);
  }
  // A NUL would cut the system's expansion short: refused, nothing lost.
  std::u16string path(u"%ZEVO_TEST_NORMALIZE%\0tail", 26);
  EXPECT_EQ(NormalizeEnvPath(path), kUnsupported);
  EXPECT_EQ(path.size(), 26u);
}

TEST(SkipLongPathPrefix, SkipsPrefixesWithinTheText) {
  EXPECT_EQ(SkipLongPathPrefix(nullptr), nullptr);
  // Text, how many characters are skipped, and the text then.
  const std::tuple<std::u16string, std::size_t, std::u16string> cases[] = {
      {P(u"\\\\?\\c:\\x"), 4, P(u"c:\\x")},
      {P(u"\\\\?\\unc\\srv\\s"), 6, P(u"\\\\srv\\s")},
      {P(u"\\\\?\\UNC\\"), 6, P(u"\\\\")},
      {P(u"\\\\?\\UN"), 4, u"UN"},  // a UNC prefix cut short
      {u"", 0, u""},
      {P(u"\\\\?"), 0, P(u"\\\\?")},
      {P(u"\\?\\\\c:"), 0, P(u"\\?\\\\c:")}};
  for (auto [text, skipped, after] : cases) {
    const char16_t* const result = SkipLongPathPrefix(text.data());
    EXPECT_EQ(result, text.data() + skipped) << os::Utf16ToUtf8(text);
    EXPECT_EQ(std::u16string(result), after);
  }
}

}  // namespace
}  // namespace zevo::util
