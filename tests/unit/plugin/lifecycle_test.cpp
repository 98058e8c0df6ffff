#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "plugin/command_registration.h"
#include "plugin_fixture.h"
#include "zevo/result.h"

namespace zevo::plugintest {
namespace {

// The start fills the tables and drops its driver; objects then decide the
// driver's lifetime. Registration messages: Lifecycle (integration); null
// arguments, foreign objects and unknown ids: Garbage (integration).
TEST_F(PluginTest, ObjectsDecideTheDriverLifetime) {
  const auto companies = [] {
    return plugin::g_tables.Read([](const driver::EngineTables& t) noexcept { return t.companies.size(); });
  };
  ASSERT_EQ(Start(), Code(0x200c0000u));
  EXPECT_EQ(Now(), (State{true, false, 0}));
  const std::size_t filled = companies();
  EXPECT_GT(filled, 0u);
  ICommonPluginInterface* first = Plugin_Interface_QueryInterface(100011);
  ICommonPluginInterface* second = Plugin_Interface_QueryInterface(100011);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Now(), (State{true, true, 2}));
  // With an object out, a second start keeps the driver it finds and fills
  // the same tables again.
  EXPECT_EQ(Plugin_Interface_PostInitialize(), 0x200c0000u);
  EXPECT_TRUE(DriverAlive());
  EXPECT_EQ(companies(), filled);
  Plugin_Interface_Release(first);
  EXPECT_TRUE(DriverAlive());
  Plugin_Interface_Release(second);
  EXPECT_EQ(Now(), (State{true, false, 0}));

  // The engine was ready once: the status object comes without a driver.
  ICommonPluginInterface* status = Plugin_Interface_QueryInterface(100012);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->GetInterfaceID(), 100012u);
  EXPECT_EQ(Now(), (State{true, false, 1}));
  Plugin_Interface_Release(status);
  EXPECT_EQ(Now(), (State{true, false, 0}));
}

// A query leaves behind a driver that never opened its main session; a
// later start must not read that session's handle.
TEST_F(PluginTest, DriverLeftWithoutMainSession) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  for (const char* faults : {"TKSetOption=-4", "TKInit=-5"}) {
    SCOPED_TRACE(faults);
    logtest::SetEnv("TARSK_FAULTS", faults);
    EXPECT_EQ(Plugin_Interface_QueryInterface(100011), nullptr);
    EXPECT_EQ(Now(), (State{true, true, 0}));
    EXPECT_EQ(Plugin_Interface_QueryInterface(100012), nullptr);  // not ready
    logtest::SetEnv("TARSK_FAULTS", "");

    EXPECT_EQ(Plugin_Interface_PostInitialize(), 0xe00c0007u);
    // No object out: the driver went; a failure leaves the state as it was.
    EXPECT_EQ(Now(), (State{true, false, 0}));
  }

  // A driver left behind is used by the next query as it is.
  logtest::SetEnv("TARSK_FAULTS", "TKInit=-5");
  EXPECT_EQ(Plugin_Interface_QueryInterface(100011), nullptr);
  logtest::SetEnv("TARSK_FAULTS", "");
  ICommonPluginInterface* object = Plugin_Interface_QueryInterface(100011);
  ASSERT_NE(object, nullptr);
  Plugin_Interface_Release(object);
  EXPECT_EQ(Now(), (State{true, false, 0}));
}

// A refused registration is logged, an unreachable scan manager is not;
// the plug-in starts either way and the stop answers the withdrawal's code.
TEST_F(PluginTest, RefusedOrUnreachableRegistrationStillStarts) {
  logtest::LineCapture capture;
  logtest::Configure("Core Scan Manager=1;Plugin TARSK=5");
  UseScanManager(Code(0xe0ff000du));
  EXPECT_EQ(Start(), Code(0xe00c000bu));
  EXPECT_TRUE(Now().started);
  UseScanManager(0);  // not registered
  EXPECT_EQ(Plugin_Interface_PreUninitialize(), 0xe00c000bu);
  EXPECT_FALSE(Now().started);
  EXPECT_EQ(plugin::RegisterEngineCommands(nullptr, true), Code(0xe00c000bu));
  EXPECT_EQ(Plugin_Interface_PostInitialize(), 0xe00c000bu);
  ICommonPluginInterface* status = Plugin_Interface_QueryInterface(100012);
  EXPECT_NE(status, nullptr);
  Plugin_Interface_Release(status);
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].module, u"Core Scan Manager");
  EXPECT_EQ(lines[0].level, 6);
  EXPECT_EQ(lines[0].text, u"Failed to register TARSK engine commands. iRet = 0xe0ff000d");
  EXPECT_EQ(services_.OpenConnections(), 0u);
}

#ifndef _WIN32  // wine has a trust check of its own
// With the platform's module-load check on (its switch: SelfProtectionTest),
// the unsigned engine of the build tree is refused at the start, and the log
// names it.
TEST_F(PluginTest, UnsignedEngineIsRefusedWhenTheCheckIsOn) {
  util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckOn);
  logtest::LineCapture capture;
  logtest::Configure("Plugin TARSK=5");
  EXPECT_EQ(Start(), Code(0xe00c0007u));
  logtest::Configure(nullptr);
  const std::vector<std::u16string> texts = capture.Texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), u"failed to verify tarsk engine: " + EngineFile(u"tarsk64.dll")),
            texts.end());
  EXPECT_TRUE(scanManager_->Received().empty());
}
#endif

}  // namespace
}  // namespace zevo::plugintest
