// The engine library's code signature, checked when the platform's
// configuration turns the module-load check on. The module reads the switch
// once per load, so this program loads it only here.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "../common/module_host.h"
#include "../../unit/log/log_test_support.h"
#include "../common/scoped_env.h"
#include "os/path.h"
#include "os/registry.h"
#include "os/tick_count.h"
#include "sim/engine_folder.h"
#include "util/install_path.h"
#include "util/reg_key.h"
#include "util/zevo_data_crypto.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

// The install folder named in the registry, holding a configuration file
// with the module-load check on; the registry is put back afterwards.
class InstallWithSignatureCheck {
 public:
  InstallWithSignatureCheck()
      : folder_("install")
#ifndef _WIN32
        ,
        registry_root_("ZEVO_REGISTRY_ROOT", (folder_ / "registry").string())
#endif
  {
    written_ = util::RegKey::WriteStringToHKLM(folder_.path().u16string() + os::kPathSeparator, util::kInstallKeyPath,
                                               util::kInstallValueName);
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n<SysConfigManager><ZEVO_ALL>"
        "<ZEVO_CFG_SP_MODULE_LOAD>1</ZEVO_CFG_SP_MODULE_LOAD></ZEVO_ALL></SysConfigManager>";
    util::CryptoBuffer buffer;
    std::uint32_t length = 0;
    written_ =
        written_ && util::ZevoDataCrypto::EncryptData(nullptr, reinterpret_cast<const std::uint8_t*>(text.data()),
                                                      static_cast<std::uint32_t>(text.size()), buffer, length);
    if (written_) folder_.Write("system_config.cfg", {reinterpret_cast<const char*>(buffer.get()), length});
  }
  ~InstallWithSignatureCheck() {
    util::RegKey software;
    if (software.Open(os::RegistryRoot::kLocalMachine, u"SOFTWARE", os::kKeyAllAccess) == os::kRegSuccess) {
      software.DeleteKeyTree(u"Zentrovia");
    }
  }
  bool Written() const { return written_; }

 private:
  TempFolder folder_;
#ifndef _WIN32
  ScopedEnv registry_root_;
#endif
  bool written_ = false;
};

TEST(Signature, UnsignedEngineIsNotLoadedWhenTheCheckIsOn) {
  // The platform's check passes everything in the first minutes after the
  // system started.
  if (os::TickCount() < 120000) GTEST_SKIP() << "system started less than 2 minutes ago";
  const InstallWithSignatureCheck install;
  ASSERT_TRUE(install.Written());
#ifndef _WIN32
  // No trust store holds a signer of the build's engine.
  const TempFolder trust("trust");
  const ScopedEnv store("ZEVO_TRUST_STORE", trust.path().string());
#endif
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  const logtest::LineCapture log;
  logtest::Configure("Plugin TARSK=5");
  m.Initialize();
  EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
  logtest::Configure(nullptr);
  bool refused = false;
  for (const std::u16string& text : log.Texts()) {
    refused = refused || text == u"failed to verify tarsk engine: " + hostsim::EngineLibraryPath(EngineFolder());
    EXPECT_FALSE(text.starts_with(u"TarskLib::getFunctionAddress(")) << "the library was loaded";
  }
  EXPECT_TRUE(refused);
  EXPECT_TRUE(m.host().scanManager().Received().empty());
  m.Uninitialize();
}

}  // namespace
}  // namespace zevo::it
