// The self-protection switches, read from the configuration file in the
// install folder that the registry names.
#include "util/self_protection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "os/path.h"
#include "os/registry.h"
#include "sign_test_support.h"
#include "util/install_path.h"
#include "util/reg_key.h"
#include "util/zevo_data_crypto.h"

namespace zevo::util {
namespace {

// Points the registry's install folder at a temporary folder for one test
// (POSIX: in a private registry tree; Windows: HKLM\SOFTWARE\Zentrovia,
// removed again after, as the install path tests leave it), and writes the
// encrypted configuration file there.
class SelfProtectionTest : public filestest::FilesTest {
 protected:
  void SetUp() override {
#ifndef _WIN32
    logtest::SetEnv("ZEVO_REGISTRY_ROOT", (root_ / "registry").string().c_str());
#endif
    PointRegistryAt(text() + os::kPathSeparator);
  }
  void TearDown() override {
    RegKey software;
    if (software.Open(os::RegistryRoot::kLocalMachine, u"SOFTWARE", os::kKeyAllAccess) == os::kRegSuccess) {
      software.DeleteKeyTree(u"Zentrovia");
    }
#ifndef _WIN32
    logtest::UnsetEnv("ZEVO_REGISTRY_ROOT");
#endif
  }

  static void PointRegistryAt(const std::u16string& folder) {
    ASSERT_TRUE(RegKey::WriteStringToHKLM(folder, kInstallKeyPath, kInstallValueName));
  }

  // The file with `groupXml` under the root.
  void WriteConfig(std::string_view groupXml) const {
    const std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<SysConfigManager>" +
                             std::string(groupXml) + "</SysConfigManager>";
    CryptoBuffer buffer;
    std::uint32_t length = 0;
    ASSERT_TRUE(ZevoDataCrypto::EncryptData(nullptr, reinterpret_cast<const std::uint8_t*>(text.data()),
                                            static_cast<std::uint32_t>(text.size()), buffer, length));
    Write("system_config.cfg", std::string(reinterpret_cast<const char*>(buffer.get()), length));
  }

  void WriteModuleLoad(std::string_view value) const {
    WriteConfig("<ZEVO_ALL><ZEVO_CFG_SP_MODULE_LOAD>" + std::string(value) + "</ZEVO_CFG_SP_MODULE_LOAD></ZEVO_ALL>");
  }
};

TEST_F(SelfProtectionTest, SwitchesReadTheirValueAsADecimalNumber) {
  WriteConfig(
      "<ZEVO_ALL>"
      "<ZEVO_CFG_SP_RESTART_ND_REVERT>12</ZEVO_CFG_SP_RESTART_ND_REVERT>"
      "<ZEVO_CFG_SP_MAIN_OBJECTIVE>1st</ZEVO_CFG_SP_MAIN_OBJECTIVE>"
      "</ZEVO_ALL>");
  EXPECT_FALSE(IsSelfProtectionOptionOn(kSpRestartAndRevert));  // 12
  EXPECT_TRUE(IsSelfProtectionOptionOn(kSpMainObjective));      // leading 1
  EXPECT_FALSE(IsSelfProtectionOptionOn(kSpModuleLoad));        // absent
  EXPECT_FALSE(IsSelfProtectionOptionOn(0x0FF10004));

  // XML white space around the value does not count; its leading digits,
  // after an optional '+', must make 1.
  const std::pair<const char*, bool> values[] = {
      {"\n    1\n", true}, {" \t1\r\n", true}, {"\n+01x \n", true}, {"0", false},   {"", false},
      {"10", false},       {"x1", false},      {"-1", false},       {"++1", false}, {"+ 1", false}};
  for (const auto& [value, on] : values) {
    WriteModuleLoad(value);
    EXPECT_EQ(IsSelfProtectionOptionOn(kSpModuleLoad), on) << '"' << value << '"';
  }
  // The value outside its group, or no file where the registry points.
  WriteConfig("<OTHER><ZEVO_CFG_SP_MODULE_LOAD>1</ZEVO_CFG_SP_MODULE_LOAD></OTHER>");
  EXPECT_FALSE(IsSelfProtectionOptionOn(kSpModuleLoad));
  WriteModuleLoad("1");
  PointRegistryAt(u"no-such-folder");
  EXPECT_FALSE(IsSelfProtectionOptionOn(kSpModuleLoad));
}

TEST_F(SelfProtectionTest, ModuleLoadSwitchIsReadOnceAndKept) {
  for (const bool on : {true, false}) {
    WriteModuleLoad(on ? "1" : "0");
    SetModuleLoadCheckCacheForTesting(kModuleLoadCheckUnknown);
    EXPECT_EQ(IsModuleLoadCheckOn(), on);
    EXPECT_EQ(ModuleLoadCheckCacheForTesting(), on ? kModuleLoadCheckOn : kModuleLoadCheckOff);
    WriteModuleLoad(on ? "0" : "1");
    EXPECT_EQ(IsModuleLoadCheckOn(), on);  // not read again
  }
  SetModuleLoadCheckCacheForTesting(kModuleLoadCheckUnknown);
}

}  // namespace
}  // namespace zevo::util
