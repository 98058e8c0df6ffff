#include "util/install_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "env_test_support.h"
#include "os/environment.h"
#include "util/reg_key.h"

namespace zevo::util {
namespace {

using envtest::P;

TEST(InstallPathFromExecutable, CutsBeforeTheHostName) {
  const std::u16string name(os::kHostExecutableName);
  // The name in a folder further up, or inside another file name, is not
  // the host executable.
  const std::pair<std::u16string, std::u16string> cases[] = {
      {P(u"C:\\Prog\\ZEVO\\") + name, P(u"C:\\Prog\\ZEVO\\")},
      {name, u""},
      {P(u"C:\\") + name + P(u"\\bin\\other"), u""},
      {P(u"C:\\x\\Not") + name, u""},
      {P(u"C:\\x\\") + name + u".bak", u""},
      {P(u"C:\\x\\") + name + P(u"\\y\\") + name, P(u"C:\\x\\") + name + P(u"\\y\\")},
      {u"", u""}};
  for (const auto& [path, folder] : cases) EXPECT_EQ(InstallPathFromExecutable(path), folder);
}

using InstallPathTest = envtest::RegistrySandbox;

TEST_F(InstallPathTest, RegistryValueThenLoggedFallback) {
  logtest::LineCapture capture;
  logtest::Configure("Util COMMON=5");
  // The test program is not the host executable: the fallback finds none.
  ASSERT_TRUE(InstallPathFromExecutable([] {
                std::u16string p;
                os::HostExecutablePath(p);
                return p;
              }())
                  .empty());

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
