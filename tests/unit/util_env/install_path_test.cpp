#include "util/install_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/environment.h"
#include "registry_sandbox.h"
#include "util/reg_key.h"

namespace zevo::util {
namespace {

using envtest::P;

TEST(InstallPathFromExecutable, CutsBeforeTheHostName) {
  const std::u16string name(os::kHostExecutableName);
  EXPECT_EQ(InstallPathFromExecutable(P(u"C:\\Prog\\ZEVO\\") + name),
            P(u"C:\\Prog\\ZEVO\\"));
  EXPECT_EQ(InstallPathFromExecutable(name), u"");
  // The name in a folder further up, or inside another file name, is not
  // the host executable.
  EXPECT_EQ(InstallPathFromExecutable(P(u"C:\\") + name + P(u"\\bin\\other")), u"");
  EXPECT_EQ(InstallPathFromExecutable(P(u"C:\\x\\Not") + name), u"");
  EXPECT_EQ(InstallPathFromExecutable(P(u"C:\\x\\") + name + u".bak"), u"");
  EXPECT_EQ(InstallPathFromExecutable(P(u"C:\\x\\") + name + P(u"\\y\\") + name),
            P(u"C:\\x\\") + name + P(u"\\y\\"));
  EXPECT_EQ(InstallPathFromExecutable(u""), u"");
}

class InstallPathTest : public envtest::RegistrySandbox {
 protected:
  void TearDown() override {
    RegKey software;
    if (software.Open(RegistryRoot::kLocalMachine, u"SOFTWARE",
                      os::kKeyAllAccess) == os::kRegSuccess) {
      software.DeleteKeyTree(u"Zentrovia");
    }
    RegistrySandbox::TearDown();
  }
};

TEST_F(InstallPathTest, RegistryValueThenLoggedFallback) {
  logtest::LineCapture capture;
  logtest::Configure("Util COMMON=5");
  // The test program is not the host executable: the fallback finds none.
  ASSERT_TRUE(InstallPathFromExecutable(
                  [] { std::u16string p; os::HostExecutablePath(p); return p; }())
                  .empty());

  // No key.
  RegKey software;
  ASSERT_EQ(software.Create(RegistryRoot::kLocalMachine, u"SOFTWARE", u"", 0,
                            os::kKeyAllAccess, nullptr, nullptr),
            os::kRegSuccess);
  software.DeleteKeyTree(u"Zentrovia");
  EXPECT_EQ(GetInstallPath(), u"");

  // The key without the value.
  RegKey key;
  ASSERT_EQ(key.Create(RegistryRoot::kLocalMachine, kInstallKeyPath, u"", 0,
                       os::kKeyAllAccess, nullptr, nullptr),
            os::kRegSuccess);
  EXPECT_EQ(GetInstallPath(), u"");

  // The value, taken as stored.
  const std::u16string stored = P(u"D:\\Zentrovia Apps\\ZEVO\\");
  ASSERT_EQ(key.SetString(stored, kInstallValueName), os::kRegSuccess);
  EXPECT_EQ(GetInstallPath(), stored);

  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text,
            u"regKey.Open() fail!\nopen  HKEY_LOCAL_MACHINE  fail!\n"
            u"key =SOFTWARE\\Zentrovia\\ZEVO");
  EXPECT_EQ(lines[1].text,
            u"regKey.QueryValue() fail!\nkey =SOFTWARE\\Zentrovia\\ZEVO,"
            u"wstrItemName =InstallDir");
  for (const logtest::CapturedLine& line : lines) {
    EXPECT_EQ(line.module, u"Util COMMON");
    EXPECT_EQ(line.file, u"util_EnvironmentVar");
    EXPECT_EQ(line.level, 5);
  }
}

}  // namespace
}  // namespace zevo::util
