#include "util/environment_var.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "env_test_support.h"
#include "os/environment.h"
#include "util/env_expand.h"

namespace zevo::util {
namespace {

using envtest::P;
using envtest::ScopedEnv;

TEST(EnvVarTable, BuiltAtLoadInTableOrder) {
  const std::vector<std::u16string> names = {u"%zevo_install_path%",
                                             u"%ALLUSERSPROFILE%",
                                             u"%APPDATA%",
                                             u"%COMPUTERNAME%",
                                             u"%COMSPEC%",
                                             u"%HOMEDRIVE%",
                                             u"%HOMEPATH%",
                                             u"%PATH%",
                                             u"%PATHEXT%",
                                             u"%PROGRAMFILES%",
                                             u"%PROMPT%",
                                             u"%SYSTEMDRIVE%",
                                             u"%SYSTEMROOT%",
                                             u"%TEMP%",
                                             u"%TMP%",
                                             u"%USERNAME%",
                                             u"%USERPROFILE%",
                                             u"%WINDIR%",
                                             u"%PROCESSOR_ARCHITECTURE%",
                                             u"%PROCESSOR_IDENTIFIER%",
                                             u"%PROCESSOR_LEVEL%",
                                             u"%PROCESSOR_REVISION%",
                                             u"%NUMBER_OF_PROCESSORS%",
                                             u"%OS%"};
  const EnvVarTableType& table = EnvVarTable();
  ASSERT_EQ(table.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(table[i].name, names[i]) << i;
    EXPECT_EQ(EnvVarMap().at(table[i].name), table[i].value) << i;
  }
  EXPECT_EQ(EnvVarMap().size(), names.size());

  // The values are those of load time, whatever the environment does later.
  EXPECT_EQ(table[7].value, GetEnvironmentValue(u"%PATH%"));
  const std::u16string pathAtLoad = table[7].value;
  const ScopedEnv changed("PATH", "changed-after-load");
  EXPECT_EQ(EnvVarTable()[7].value, pathAtLoad);
  std::u16string out;
  ExpandEnvironmentVar(u"<%PATH%>", out, true);
  EXPECT_EQ(out, u"<" + pathAtLoad + u">");
}

TEST(GetEnvironmentValue, ExpandsOrReturnsTheName) {
  const ScopedEnv var("ZEVO_TEST_VALUE", "abc");
  const std::string longValue(5000, 'L');  // beyond the first buffer of 260
  const ScopedEnv longVar("ZEVO_TEST_VALUE_LONG", longValue.c_str());
  const std::pair<std::u16string, std::u16string> cases[] = {{u"%ZEVO_TEST_VALUE%", u"abc"},
                                                             {u"x%ZEVO_TEST_VALUE%y", u"xabcy"},
                                                             {u"%ZEVO_TEST_NOT_SET%", u"%ZEVO_TEST_NOT_SET%"},
                                                             {u"", u""},
                                                             {u"%ZEVO_TEST_VALUE_LONG%", std::u16string(5000, u'L')}};
  for (const auto& [text, value] : cases) EXPECT_EQ(GetEnvironmentValue(text), value);
}

TEST(ExpandEnvironmentText, SystemRules) {
  const ScopedEnv var("ZEVO_TEST_SYS", "v");
  // Text, the length needed with the terminator, and what an 8-character
  // buffer receives when that is enough. A name that is not set stays
  // whole; its closing '%' opens nothing.
  const std::tuple<std::u16string, std::uint32_t, std::u16string> cases[] = {{u"a%ZEVO_TEST_SYS%b", 4, u"avb"},
                                                                             {u"%ZEVO_TEST_SYS%1234567", 9, u""},
                                                                             {u"%x%ZEVO_TEST_SYS%", 18, u""},
                                                                             {u"%x%%ZEVO_TEST_SYS%", 5, u"%x%v"},
                                                                             {u"50%", 4, u"50%"},
                                                                             {u"%%", 3, u"%%"}};
  for (const auto& [text, needed, expanded] : cases) {
    char16_t buffer[8] = {};
    EXPECT_EQ(os::ExpandEnvironmentText(text.c_str(), buffer, 8), needed);
    if (needed <= 8) {
      EXPECT_EQ(std::u16string(buffer), expanded);
    }
  }
}

TEST(GetSpecialFolderPath, ApplicationData) {
  EXPECT_FALSE(GetSpecialFolderPath(os::kFolderAppData).empty());
#if !defined(_WIN32)
  {
    const ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/ServiceProfiles/NetworkService/AppData/NetworkService/");
    EXPECT_EQ(GetSpecialFolderPath(os::kFolderAppData), u"/srv/ServiceProfiles/LocalService/AppData/NetworkService");
  }
  {
    const ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");
    const ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(GetSpecialFolderPath(os::kFolderAppData), u"/home/someone/.config");
  }
  {
    // Only the application-data folder is adjusted.
    const ScopedEnv home("HOME", "/x/NetworkService/y");
    EXPECT_EQ(GetSpecialFolderPath(40), u"/x/NetworkService/y");
  }
  EXPECT_EQ(GetSpecialFolderPath(-1), u"");
#endif
}

}  // namespace
}  // namespace zevo::util
