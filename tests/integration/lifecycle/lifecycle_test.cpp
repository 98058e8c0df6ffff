// Start, use, stop and unload of the real module with the reference engine,
// through the exports as the platform calls them. Failed starts:
// PluginTest.DriverLeftWithoutMainSession and ZevoHost.EngineFolderWithoutEngine.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "../common/module_host.h"
#include "common/utf.h"
#include "sim/query_blocks.h"
#include "sim/shared_library.h"
#include "zevo/identity.h"
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

// Start, two engine interface objects with sessions and versions, stop: the
// commands are registered and withdrawn, and the driver (with its RCM table
// connection) lives while an object is out, even after the stop.
TEST(Lifecycle, StartSessionsAndStopWhileAnEngineInterfaceIsOut) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  EXPECT_EQ(m.Initialize(), kOk);
  EXPECT_EQ(m.PostInitialize(), kCommonOk);  // the scan manager's answer
  ASSERT_EQ(m.host().scanManager().Received().size(), 1u);
  ExpectRegistration(m.host().scanManager().Received()[0], 14099);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);  // the start-up driver is gone

  Object first(m.x(), kEngineInterfaceId);
  Object second(m.x(), kEngineInterfaceId);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_EQ(m.host().services().OpenConnections(), 1u);
  EXPECT_EQ(m.host().rcmTable().Requests(), 2u);  // start-up driver, then this one
  hostsim::QueryReply companies;                  // the tables the start filled, given to this driver
  EXPECT_EQ(first.Call(kFnNameIdByTable, nullptr, companies.Block()), kCommonOk);
  EXPECT_EQ(companies.Names().size(), 5u);
  ZEVO_OpenBlock block{nullptr, "integration", 42};
  EXPECT_EQ(first.Call(kFnOpenSession, &block), kCommonOk);  // the configuration read's result
  EXPECT_EQ(second.Call(kFnOpenSession), kCommonOk);         // no block: an empty caller name
  EXPECT_EQ(first.Call(kFnCloseSession), kOk);
  EXPECT_EQ(first.Call(kFnOpenSession, &block), kCommonOk);  // again after closing
  std::int32_t result = 0;
  EXPECT_EQ(ReadVersion(second, kFnGetEngineVersion, result), EngineFolder().filename().u16string());
  EXPECT_EQ(result, kOk);
  first.Release();
  EXPECT_EQ(m.host().services().OpenConnections(), 1u);

  EXPECT_EQ(m.PreUninitialize(), kCommonOk);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  EXPECT_EQ(ReadVersion(second, kFnGetPatternVersion, result), PatternVersion());
  EXPECT_EQ(result, kOk);
  second.Release();
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);
  EXPECT_EQ(m.Uninitialize(), kOk);
  ASSERT_EQ(m.host().scanManager().Received().size(), 2u);
  ExpectRegistration(m.host().scanManager().Received()[1], 14100);
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
    ASSERT_GE(m.PostInitialize(), 0);
    const fs::path engineFile = EngineFolder() / "tarsk64.dll";
    {
      const Object engine(m.x(), kEngineInterfaceId);
      EXPECT_TRUE(engine);
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
