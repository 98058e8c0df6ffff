// Start, use and stop of the real module with the reference engine, through
// the exports as the platform calls them.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "../common/module_host.h"
#include "../common/module_log.h"
#include "common/utf.h"
#include "sim/shared_library.h"
#include "zevo/identity.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

using Values = std::vector<std::int32_t>;

// The "version" record of the engine folder's pattern file.
std::u16string PatternVersion() {
  std::ifstream in(EngineFolder() / "tarskptn.da6", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("version\t", 0) == 0) return host::Utf8ToUtf16(line.substr(8));
  }
  return u"(none)";
}

void ExpectRegistration(const hostsim::ReceivedCommand& command, std::uint32_t function) {
  EXPECT_EQ(command.function, function);
  EXPECT_TRUE(command.liveMessage);
  EXPECT_FALSE(command.outputGiven);
  EXPECT_EQ(command.nameId, 0u);
  EXPECT_EQ(command.commands, (Values{8282, 8283}));
  EXPECT_EQ(command.moduleIds, (Values{10001}));
  EXPECT_EQ(command.interfaceIds, (Values{100011}));
}

TEST(Lifecycle, StartRegistersCommandsAndStopWithdrawsThem) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);  // not started
  EXPECT_EQ(m.Initialize(), kOk);
  EXPECT_EQ(m.x().Plugin_Interface_GetModuleID(), kModuleId);

  // The scan manager's answer is what the start returns.
  EXPECT_EQ(m.PostInitialize(), kCommonOk);
  auto received = m.host().scanManager().Received();
  ASSERT_EQ(received.size(), 1u);
  ExpectRegistration(received[0], 14099);
  EXPECT_EQ(m.host().rcmTable().Requests(), 1u);
  // The start-up driver is gone again, and with it every host connection.
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);

  EXPECT_EQ(m.PreUninitialize(), kCommonOk);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  EXPECT_EQ(m.Uninitialize(), kOk);
  received = m.host().scanManager().Received();
  ASSERT_EQ(received.size(), 2u);
  ExpectRegistration(received[1], 14100);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);
}

TEST(Lifecycle, RefusedRegistrationStillStartsAndLogs) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  const ModuleLog log;
  m.host().scanManager().SetAnswer(kNoConnection);
  m.Initialize();
  EXPECT_EQ(m.PostInitialize(), kScanManagerUnavailable);
  EXPECT_EQ(log.Texts(u"Core Scan Manager", 6),
            (std::vector<std::u16string>{u"Failed to register TARSK engine commands. iRet = 0xe0ff000d"}));
  {
    const Object status(m.x(), kEngineStatusInterfaceId);
    EXPECT_TRUE(status);  // started all the same
  }
  m.host().scanManager().SetAnswer(kFail);
  EXPECT_EQ(m.PreUninitialize(), kFail);

  // Without a scan manager nothing is sent and nothing is logged.
  m.host().Register(ZEVO_SCAN_MANAGER_MODULE, ZEVO_SCAN_MANAGER_INTERFACE, nullptr);
  EXPECT_EQ(m.PostInitialize(), kScanManagerUnavailable);
  EXPECT_EQ(m.PreUninitialize(), kScanManagerUnavailable);
  EXPECT_EQ(m.host().scanManager().Received().size(), 2u);
  EXPECT_EQ(log.Texts(u"Core Scan Manager", 6).size(), 2u);
  m.Uninitialize();
}

TEST(Lifecycle, BothInterfaceObjectsIdentifyThemselves) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  ASSERT_GE(m.PostInitialize(), 0);
  {
    const Object engine(m.x(), kEngineInterfaceId);
    const Object status(m.x(), kEngineStatusInterfaceId);
    ASSERT_TRUE(engine);
    ASSERT_TRUE(status);
    for (const Object* object : {&engine, &status}) {
      EXPECT_EQ(object->get()->GetModuleID(), kModuleId);
      VersionInfo version{};
      object->get()->GetModuleVersion(&version);
      EXPECT_EQ(version.major, 2u);
      EXPECT_EQ(version.minor, 1u);
      EXPECT_EQ(version.build, 1248u);
    }
    EXPECT_EQ(engine.get()->GetInterfaceID(), kEngineInterfaceId);
    EXPECT_EQ(status.get()->GetInterfaceID(), kEngineStatusInterfaceId);
  }
  m.PreUninitialize();
  m.Uninitialize();
}

TEST(Lifecycle, SessionsAndVersionsThroughTheEngineInterface) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  ASSERT_GE(m.PostInitialize(), 0);
  const Object first(m.x(), kEngineInterfaceId);
  const Object second(m.x(), kEngineInterfaceId);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);

  ZEVO_OpenBlock block{nullptr, "integration", 42};
  EXPECT_EQ(first.Call(kFnOpenSession, &block), kCommonOk);  // the configuration read's result
  EXPECT_EQ(second.Call(kFnOpenSession), kCommonOk);         // no block: an empty caller name
  EXPECT_EQ(first.Call(kFnCloseSession), kOk);
  EXPECT_EQ(first.Call(kFnOpenSession, &block), kCommonOk);  // again after closing

  std::int32_t result = 0;
  EXPECT_EQ(ReadVersion(second, kFnGetEngineVersion, result), EngineFolder().filename().u16string());
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(ReadVersion(second, kFnGetPatternVersion, result), PatternVersion());
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(first.Call(kFnCloseSession), kOk);
  EXPECT_EQ(second.Call(kFnCloseSession), kOk);
}

TEST(Lifecycle, DriverLivesWhileAnEngineInterfaceIsOut) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  ASSERT_GE(m.PostInitialize(), 0);
  Object first(m.x(), kEngineInterfaceId);
  Object second(m.x(), kEngineInterfaceId);
  ASSERT_TRUE(first);
  // The driver holds the RCM table's connection while it lives.
  EXPECT_EQ(m.host().services().OpenConnections(), 1u);
  EXPECT_EQ(m.host().rcmTable().Requests(), 2u);  // start-up driver, then this one

  first.Release();
  std::int32_t result = 0;
  EXPECT_FALSE(ReadVersion(second, kFnGetEngineVersion, result).empty());
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(m.host().services().OpenConnections(), 1u);

  // Stopping hands out nothing new; the object already out keeps working.
  EXPECT_GE(m.PreUninitialize(), 0);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);
  EXPECT_FALSE(ReadVersion(second, kFnGetPatternVersion, result).empty());
  second.Release();
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);

  // A second start makes a fresh start-up driver and registers again.
  EXPECT_GE(m.PostInitialize(), 0);
  EXPECT_EQ(m.host().scanManager().Received().size(), 3u);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);
  m.PreUninitialize();
  m.Uninitialize();
}

// An update unloads the module and loads it again: the first load must leave
// nothing mapped, and the second must start from fresh global state.
TEST(Lifecycle, UnloadedModuleIsGoneAndReloadsFresh) {
  ModuleHost m;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(m.Ready());
    // A fresh module knows no services table, so it cannot start yet.
    EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
    EXPECT_EQ(m.Initialize(), kOk);
    EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
    ASSERT_GE(m.PostInitialize(), 0);
    const fs::path engineFile = EngineFolder() / "tarsk64.dll";
    {
      const Object engine(m.x(), kEngineInterfaceId);
      std::int32_t result = 0;
      EXPECT_FALSE(ReadVersion(engine, kFnGetEngineVersion, result).empty());
      EXPECT_EQ(result, kOk);
      EXPECT_TRUE(hostsim::platform::IsLibraryLoaded(engineFile));  // the probe sees a mapped library
    }
    EXPECT_GE(m.PreUninitialize(), 0);
    EXPECT_EQ(m.Uninitialize(), kOk);
    EXPECT_TRUE(hostsim::platform::IsLibraryLoaded(ModuleFile()));
    m.Unload();
    EXPECT_FALSE(hostsim::platform::IsLibraryLoaded(ModuleFile()));
    EXPECT_FALSE(hostsim::platform::IsLibraryLoaded(engineFile));
    m.Load();
  }
}

}  // namespace
}  // namespace zevo::it
