#include "util/environment_var.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "env_test_support.h"
#include "os/environment.h"
#include "util/env_expand.h"
#include "util/install_path.h"
#include "util/reg_key.h"

namespace zevo::util {
namespace {

using envtest::P;
using envtest::ScopedEnv;

TEST(EnvVarTable, BuiltAtLoadInTableOrder) {
  const std::u16string names =
      u"%zevo_install_path% %ALLUSERSPROFILE% %APPDATA% %COMPUTERNAME% %COMSPEC% %HOMEDRIVE% %HOMEPATH% %PATH% "
      u"%PATHEXT% %PROGRAMFILES% %PROMPT% %SYSTEMDRIVE% %SYSTEMROOT% %TEMP% %TMP% %USERNAME% %USERPROFILE% %WINDIR% "
      u"%PROCESSOR_ARCHITECTURE% %PROCESSOR_IDENTIFIER% %PROCESSOR_LEVEL% %PROCESSOR_REVISION% "
      u"%NUMBER_OF_PROCESSORS% %OS% ";
  std::u16string listed;
  for (const auto& entry : EnvVarTable()) {
    listed += entry.name + u" ";
    EXPECT_EQ(EnvVarMap().at(entry.name), entry.value) << os::Utf16ToUtf8(entry.name);
  }
  EXPECT_EQ(listed, names);
  EXPECT_EQ(EnvVarMap().size(), EnvVarTable().size());

  // The values are those of load time, whatever the environment does later.
  const std::u16string pathAtLoad = EnvVarTable()[7].value;
  EXPECT_EQ(pathAtLoad, GetEnvironmentValue(u"%PATH%"));
  const ScopedEnv changed("PATH", "changed-after-load");
  std::u16string out;
  ExpandEnvironmentVar(u"<%PATH%>", out, true);
  EXPECT_EQ(out, u"<" + pathAtLoad + u">");
}

// The expansion rules are the system's own (below): here, the buffer grows.
TEST(GetEnvironmentValue, ExpandsOrReturnsTheName) {
  const std::string longValue(5000, 'L');  // beyond the first buffer of 260
  const ScopedEnv longVar("ZEVO_TEST_VALUE_LONG", longValue.c_str());
  EXPECT_EQ(GetEnvironmentValue(u"x%ZEVO_TEST_VALUE_LONG%"), std::u16string(u"x").append(5000, u'L'));
  EXPECT_EQ(GetEnvironmentValue(u"%ZEVO_TEST_NOT_SET%"), u"%ZEVO_TEST_NOT_SET%");
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

TEST(InstallPathFromExecutable, CutsBeforeTheHostName) {
  const std::u16string name(os::kHostExecutableName);
  // The name in a folder further up, or inside another file name, is not
  // the host executable.
  const std::pair<std::u16string, std::u16string> cases[] = {
      {P(u"C:\\Prog\\ZEVO\\") + name, P(u"C:\\Prog\\ZEVO\\")},
      {name, u""},
      {P(u"C:\\") + name + P(u"\\bin\\other"), u""},
      {P(u"C:\\x\\") + name + u".bak", u""},
      {P(u"C:\\x\\") + name + P(u"\\y\\") + name, P(u"C:\\x\\") + name + P(u"\\y\\")},
  };
  for (const auto& [path, folder] : cases) EXPECT_EQ(InstallPathFromExecutable(path), folder);
}

using InstallPathTest = envtest::RegistrySandbox;

TEST_F(InstallPathTest, RegistryValueThenLoggedFallback) {
  logtest::LineCapture capture;
  logtest::Configure("Util COMMON=5");
  // No key.
  RegKey software;
  ASSERT_EQ(software.Create(RegistryRoot::kLocalMachine, u"SOFTWARE", u"", 0, os::kKeyAllAccess, nullptr, nullptr),
            os::kRegSuccess);
  software.DeleteKeyTree(u"Zentrovia");
  EXPECT_EQ(GetInstallPath(), u"");

  // The key without the value.
  RegKey key;
  ASSERT_EQ(key.Create(RegistryRoot::kLocalMachine, kInstallKeyPath, u"", 0, os::kKeyAllAccess, nullptr, nullptr),
            os::kRegSuccess);
  EXPECT_EQ(GetInstallPath(), u"");

  // The value, taken as stored.
  const std::u16string stored = P(u"D:\\Zentrovia Apps\\ZEVO\\");
  ASSERT_EQ(key.SetString(stored, kInstallValueName), os::kRegSuccess);
  EXPECT_EQ(GetInstallPath(), stored);

  // One line per miss, both under the same site and level.
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, u"regKey.Open() fail!\nopen  HKEY_LOCAL_MACHINE  fail!\nkey =SOFTWARE\\Zentrovia\\ZEVO");
  EXPECT_EQ(lines[1].text, u"regKey.QueryValue() fail!\nkey =SOFTWARE\\Zentrovia\\ZEVO,wstrItemName =InstallDir");
  EXPECT_EQ(lines[1].module + u"|" + lines[1].file, u"Util COMMON|util_EnvironmentVar");
  EXPECT_EQ(lines[1].level, 5);
}

}  // namespace
}  // namespace zevo::util
