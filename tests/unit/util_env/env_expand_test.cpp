#include "util/env_expand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "env_test_support.h"
#include "zevo/result.h"

namespace zevo::util {
namespace {

using envtest::P;
using envtest::ScopedEnv;

std::vector<std::pair<std::size_t, std::size_t>> Tokens(
    std::u16string_view input, bool& ok) {
  std::vector<VariableToken> tokens;
  ok = FindVariableTokens(input, tokens);
  std::vector<std::pair<std::size_t, std::size_t>> out;
  for (const VariableToken& t : tokens) out.emplace_back(t.position, t.length);
  return out;
}

TEST(FindVariableTokens, PairsPercentSignsLeftToRight) {
  using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;
  bool ok = false;
  EXPECT_EQ(Tokens(u"%A%%B%", ok), (Pairs{{0, 3}, {3, 3}}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(Tokens(u"x%%y%ab%", ok), (Pairs{{1, 2}, {4, 4}}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(Tokens(u"no percent", ok), Pairs{});
  EXPECT_TRUE(ok);
  EXPECT_EQ(Tokens(u"", ok), Pairs{});
  EXPECT_TRUE(ok);
  // The third '%' opens a token that never closes; what was found stays.
  EXPECT_EQ(Tokens(u"%A%B%", ok), (Pairs{{0, 3}}));
  EXPECT_FALSE(ok);
  EXPECT_EQ(Tokens(u"a%b", ok), Pairs{});
  EXPECT_FALSE(ok);
  EXPECT_EQ(Tokens(u"%", ok), Pairs{});
  EXPECT_FALSE(ok);
}

TEST(ExpandEnvironmentVar, ReplacesKnownPlaceholders) {
  const EnvVarMapType vars{{u"%zevo_install_path%", P(u"C:\\Prog\\ZEVO\\")},
                           {u"%TEMP%", P(u"C:\\Tmp")},
                           {u"%OS%", u"Windows_NT"}};
  std::u16string out;
  EXPECT_TRUE(ExpandEnvironmentVar(P(u"%zevo_install_path%temp\\"), out, true, vars));
  EXPECT_EQ(out, P(u"C:\\Prog\\ZEVO\\temp\\"));

  // Back to back: two tokens, both replaced.
  EXPECT_TRUE(ExpandEnvironmentVar(u"%zevo_install_path%%zevo_install_path%", out, true, vars));
  EXPECT_EQ(out, P(u"C:\\Prog\\ZEVO\\C:\\Prog\\ZEVO\\"));

  // Values of different lengths: the later token first keeps positions.
  EXPECT_TRUE(ExpandEnvironmentVar(u"%OS%-%TEMP%-%OS%", out, true, vars));
  EXPECT_EQ(out, u"Windows_NT-" + P(u"C:\\Tmp") + u"-Windows_NT");

  EXPECT_TRUE(ExpandEnvironmentVar(u"100%%", out, true, vars));
  EXPECT_EQ(out, u"100%");
  EXPECT_TRUE(ExpandEnvironmentVar(u"100%%", out, false, vars));
  EXPECT_EQ(out, u"100%%");

  EXPECT_TRUE(ExpandEnvironmentVar(P(u"C:\\plain\\path"), out, true, vars));
  EXPECT_EQ(out, P(u"C:\\plain\\path"));
  EXPECT_TRUE(ExpandEnvironmentVar(u"", out, true, vars));
  EXPECT_EQ(out, u"");
}

TEST(ExpandEnvironmentVar, UnknownAndUnbalanced) {
  const EnvVarMapType vars{{u"%TEMP%", u"T"}, {u"%zevo_install_path%", u""}};
  std::u16string out = u"stale";

  // Case differs from the table: not a placeholder, not a failure.
  EXPECT_TRUE(ExpandEnvironmentVar(u"%Temp%\\x", out, true, vars));
  EXPECT_EQ(out, u"%Temp%\\x");
  EXPECT_TRUE(ExpandEnvironmentVar(u"%NOPE%%TEMP%", out, true, vars));
  EXPECT_EQ(out, u"%NOPE%T");

  EXPECT_FALSE(ExpandEnvironmentVar(u"a%b", out, true, vars));
  EXPECT_EQ(out, u"a%b");
  EXPECT_FALSE(ExpandEnvironmentVar(u"%TEMP%B%", out, true, vars));
  EXPECT_EQ(out, u"%TEMP%B%");

  // An empty value is replaced, but the result says the text is unusable.
  EXPECT_FALSE(ExpandEnvironmentVar(P(u"%zevo_install_path%debug\\"), out, true, vars));
  EXPECT_EQ(out, P(u"debug\\"));

  // A huge path of doubled percent signs halves.
  const std::u16string huge(100000, u'%');
  EXPECT_TRUE(ExpandEnvironmentVar(huge, out, true, vars));
  EXPECT_EQ(out, std::u16string(50000, u'%'));
}

TEST(NormalizeEnvPath, QuotesPrefixesAndExpansion) {
  std::u16string path;
  EXPECT_EQ(NormalizeEnvPath(path), kUnsupported);

  path = u"\"" + P(u"C:\\a b\\x") + u"\" -arg";
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, P(u"C:\\a b\\x") + u" -arg");
  path = u"\"unclosed";
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, u"unclosed");
  path = u"\"\"";
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, u"");

  path = P(u"\\??\\C:\\x\\%ZEVO_TEST_NORMALIZE%");
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, P(u"C:\\x\\%ZEVO_TEST_NORMALIZE%"));  // no expansion then
  path = u"\"" + P(u"\\\\?\\C:\\x\"");
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, P(u"C:\\x"));

  const ScopedEnv var("ZEVO_TEST_NORMALIZE", "val");
  path = P(u"%ZEVO_TEST_NORMALIZE%\\x\\%ZEVO_TEST_UNSET_NAME%");
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, P(u"val\\x\\%ZEVO_TEST_UNSET_NAME%"));

  // Longer than the first buffer of 260 characters: expanded whole.
  const std::string longValue(1000, 'v');
  const ScopedEnv longVar("ZEVO_TEST_LONG", longValue.c_str());
  path = u"a%ZEVO_TEST_LONG%b";
  EXPECT_EQ(NormalizeEnvPath(path), kCommonOk);
  EXPECT_EQ(path, u"a" + std::u16string(1000, u'v') + u"b");

  // A NUL would cut the system's expansion short: refused, nothing lost.
  path = std::u16string(u"%ZEVO_TEST_NORMALIZE%\0tail", 26);
  EXPECT_EQ(NormalizeEnvPath(path), kUnsupported);
  EXPECT_EQ(path.size(), 26u);
}

TEST(SkipLongPathPrefix, SkipsPrefixesWithinTheText) {
  EXPECT_EQ(SkipLongPathPrefix(nullptr), nullptr);

  std::u16string local = P(u"\\\\?\\c:\\x");
  EXPECT_EQ(std::u16string(SkipLongPathPrefix(local.data())), P(u"c:\\x"));

  std::u16string unc = P(u"\\\\?\\unc\\srv\\s");
  char16_t* const skipped = SkipLongPathPrefix(unc.data());
  EXPECT_EQ(skipped, unc.data() + 6);
  EXPECT_EQ(std::u16string(skipped), P(u"\\\\srv\\s"));

  // Short texts and near misses come back as they are, untouched.
  for (std::u16string text :
       {std::u16string(), P(u"\\"), P(u"\\\\"), P(u"\\\\?"), P(u"\\\\?x"),
        P(u"\\?\\\\c:"), P(u"C:\\x")}) {
    const std::u16string before = text;
    EXPECT_EQ(SkipLongPathPrefix(text.data()), text.data());
    EXPECT_EQ(text, before);
  }
  // A UNC prefix cut short is still a long path.
  std::u16string shortUnc = P(u"\\\\?\\UN");
  EXPECT_EQ(SkipLongPathPrefix(shortUnc.data()), shortUnc.data() + 4);
  // Exactly the prefix: an empty remainder.
  std::u16string bare = P(u"\\\\?\\UNC\\");
  EXPECT_EQ(std::u16string(SkipLongPathPrefix(bare.data())), P(u"\\\\"));
}

}  // namespace
}  // namespace zevo::util
