// Start, use and stop of the real module with the reference engine, through
// the exports as the platform calls them, and host services that are missing
// or answer nonsense (the module starts with its defaults and works). Failed
// starts: PluginTest.DriverLeftWithoutMainSession (engine faults through the
// exports), ZevoHost.EngineFolderWithoutEngine, TarskLibTest (missing entry
// points) and the driver and tables suites (each failing step's line).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../common/module_host.h"
#include "../common/module_log.h"
#include "common/utf.h"
#include "sim/shared_library.h"
#include "zevo/identity.h"
#include "zevo/msg_wrapper.h"
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
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);  // not started
  EXPECT_EQ(m.Initialize(), kOk);
  EXPECT_EQ(m.PostInitialize(), kCommonOk);  // the scan manager's answer
  ASSERT_EQ(m.host().scanManager().Received().size(), 1u);
  ExpectRegistration(m.host().scanManager().Received()[0], 14099);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);  // the start-up driver is gone

  Object first(m.x(), kEngineInterfaceId);
  Object second(m.x(), kEngineInterfaceId);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_EQ(first.get()->GetInterfaceID(), kEngineInterfaceId);
  EXPECT_EQ(m.host().services().OpenConnections(), 1u);
  EXPECT_EQ(m.host().rcmTable().Requests(), 2u);  // start-up driver, then this one
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
    EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
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

// Start, a session with versions, stop: all succeed, one registration is
// sent, and no host connection is left.
void ExpectWorkingModule(ModuleHost& m) {
  const std::size_t before = m.host().scanManager().Received().size();
  EXPECT_EQ(m.PostInitialize(), kCommonOk);
  EXPECT_EQ(m.host().scanManager().Received().size(), before + 1);
  {
    const Object engine(m.x(), kEngineInterfaceId);
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine.Call(kFnOpenSession), kCommonOk);
    std::int32_t result = 0;
    EXPECT_EQ(ReadVersion(engine, kFnGetEngineVersion, result), EngineFolder().filename().u16string());
    EXPECT_EQ(engine.Call(kFnCloseSession), kOk);
  }
  EXPECT_EQ(m.PreUninitialize(), kCommonOk);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);
}

// A configuration repository that answers every request with `answer` and
// a reply of values no batch has (the parse of each: ConfigBatch.BadReplies).
class GarbageConfig final : public hostsim::HostInterface {
 public:
  explicit GarbageConfig(std::int32_t answer) : answer_(answer) {}
  std::int32_t Call(std::uint32_t, void*, void* output) noexcept override {
    ++calls;
    if (output != nullptr) static_cast<ZEVO_DataHandleWrapper*>(output)->PutWString(0x2012c, u"\xd800garbage");
    return answer_;
  }
  int calls = 0;

 private:
  std::int32_t answer_;
};

TEST(HostFaults, ConfigurationOrRcmTableAbsentRefusingOrAnsweringGarbage) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  const ModuleLog log;
  m.Initialize();
  m.host().Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, nullptr);
  {
    SCOPED_TRACE("no configuration");
    ExpectWorkingModule(m);
  }
  for (const std::int32_t answer : {kCommonOk, kFail, kNoConnection}) {
    SCOPED_TRACE(answer);
    auto garbage = std::make_shared<GarbageConfig>(answer);
    m.host().Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, garbage);
    ExpectWorkingModule(m);
    EXPECT_GE(garbage->calls, 2);  // the driver's settings and the session's
  }
  m.host().rcmTable().SetAnswer(kFail);
  ExpectWorkingModule(m);
  m.host().Register(ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE, nullptr);
  ExpectWorkingModule(m);
  EXPECT_TRUE(log.Plugin().empty());  // nothing reached the engine, nothing failed
  m.Uninitialize();
}

}  // namespace
}  // namespace zevo::it
