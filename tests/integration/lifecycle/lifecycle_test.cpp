// Start, use and stop of the real module with the reference engine, through
// the exports as the platform calls them; engine faults at start-up (each
// gives its result code and log lines, and the module starts cleanly
// afterwards) and host services that are missing or answer nonsense (the
// module starts with its defaults and works).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../common/module_host.h"
#include "../common/module_log.h"
#include "../common/scoped_env.h"
#include "common/utf.h"
#include "sim/engine_folder.h"
#include "sim/shared_library.h"
#include "zevo/identity.h"
#include "zevo/msg_wrapper.h"
#include "zevo/organizer.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

using Values = std::vector<std::int32_t>;
using Texts = std::vector<std::u16string>;

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

// Sessions and versions through two engine interface objects; the driver
// (and its RCM table connection) lives while one is out, even after a stop.
TEST(Lifecycle, SessionsVersionsAndTheDriverWhileAnEngineInterfaceIsOut) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  ASSERT_GE(m.PostInitialize(), 0);
  Object first(m.x(), kEngineInterfaceId);
  Object second(m.x(), kEngineInterfaceId);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
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
  EXPECT_EQ(ReadVersion(second, kFnGetPatternVersion, result), PatternVersion());
  EXPECT_EQ(result, kOk);
  EXPECT_EQ(first.Call(kFnCloseSession), kOk);
  first.Release();
  EXPECT_EQ(m.host().services().OpenConnections(), 1u);

  // Stopping hands out nothing new; the object already out keeps working.
  EXPECT_GE(m.PreUninitialize(), 0);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);
  EXPECT_EQ(ReadVersion(second, kFnGetPatternVersion, result), PatternVersion());
  EXPECT_EQ(second.Call(kFnCloseSession), kOk);
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

// The lines of the loader's "getFunctionAddress" reports, in order.
Texts MissingNameLines(const ModuleLog& log) {
  Texts lines;
  for (const std::u16string& text : log.Plugin()) {
    if (text.starts_with(u"TarskLib::getFunctionAddress(")) lines.push_back(text);
  }
  return lines;
}

// After a failed start: the module starts with the real engine, registers,
// and stops.
void ExpectCleanStart(ModuleHost& m) {
  hostsim::SetEngineFolder(m.host().services(), EngineFolder());
  const std::size_t before = m.host().scanManager().Received().size();
  EXPECT_EQ(m.PostInitialize(), kCommonOk);
  EXPECT_EQ(m.host().scanManager().Received().size(), before + 1);
  {
    const Object engine(m.x(), kEngineInterfaceId);
    std::int32_t result = 0;
    EXPECT_FALSE(ReadVersion(engine, kFnGetEngineVersion, result).empty());
    EXPECT_EQ(result, kOk);
  }
  EXPECT_EQ(m.PreUninitialize(), kCommonOk);
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);
}

TEST(EngineFaults, FolderWithoutTheEngine) {
  const TempFolder empty("no-engine");
  ModuleHost m(empty.path());
  ASSERT_TRUE(m.Ready());
  const ModuleLog log;
  m.Initialize();
  EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
  EXPECT_TRUE(m.host().scanManager().Received().empty());
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);
  const Texts lines = log.Plugin();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"TarskLib::Initialize() failed. path = " + hostsim::EngineLibraryPath(empty.path()));
  EXPECT_TRUE(lines[1].starts_with(u"error = failed with error ")) << host::Utf16ToUtf8(lines[1]);
  ExpectCleanStart(m);
}

TEST(EngineFaults, EnginesWithoutSomeEntryPoints) {
  ModuleHost m(FromBin(ZEVO_IT_MISSING1_FROM_BIN));
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  {
    const ModuleLog log;
    EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
    EXPECT_EQ(MissingNameLines(log), (Texts{u"TarskLib::getFunctionAddress(TKGetItemIndexByCompanyName) failed."}));
  }
  {
    hostsim::SetEngineFolder(m.host().services(), FromBin(ZEVO_IT_MISSING3_FROM_BIN));
    const ModuleLog log;
    EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
    EXPECT_EQ(MissingNameLines(log), (Texts{u"TarskLib::getFunctionAddress(TKScanEx) failed.",
                                            u"TarskLib::getFunctionAddress(TKSaveBlacklist) failed.",
                                            u"TarskLib::getFunctionAddress(TKGetItemIndexByCompanyName) failed."}));
  }
  EXPECT_TRUE(m.host().scanManager().Received().empty());
  ExpectCleanStart(m);
}

// The first log line names the failing step; the second, the engine's error
// (one code path for all: pinned for the first case only).
struct InjectedFault {
  const char* faults;
  std::int32_t result;
  std::u16string firstLine;  // level 5 and above, "Plugin TARSK"
};

TEST(EngineFaults, FailingEngineCallsAtStartUp) {
  const std::vector<InjectedFault> cases = {
      {"TKSetOption=-12", static_cast<std::int32_t>(0xe030fff4u), u"Failed: TKSetOption: id=0x1, ret=0xfffffff4"},
      {"TKInit=-12", kEngineLoadFailed, u"Failed: TKInit: ret=0xfffffff4"},
      {"TKReadSpywarePattern=-6", kEngineLoadFailed, u"Failed: LoadPattern: ret=0xfffffffa"},
      {"TKOpenTableSeqEnum=-12", static_cast<std::int32_t>(0xe030fff4u),
       u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_PRODUCTITEMS) 0xfffffff4"},
      {"TKOpenTableSeqEnum=-2@2", static_cast<std::int32_t>(0xe030fffeu),
       u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_THREATTYPES) 0xfffffffe"},
      {"TKOpenTableSeqEnum=-12@3", static_cast<std::int32_t>(0xe030fff4u),
       u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_COMPANY) 0xfffffff4"},
  };
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  for (const InjectedFault& fault : cases) {
    SCOPED_TRACE(fault.faults);
    const std::size_t registrations = m.host().scanManager().Received().size();
    {
      const ScopedEnv env("TARSK_FAULTS", fault.faults);
      const ModuleLog log;
      EXPECT_EQ(m.PostInitialize(), fault.result);
      const Texts lines = log.Plugin();
      ASSERT_EQ(lines.size(), 2u);
      EXPECT_EQ(lines[0], fault.firstLine);
      if (&fault == &cases[0]) {
        EXPECT_EQ(lines[1], u"    TARSK error: 0xfffffff4: injected fault in TKSetOption");
      }
      EXPECT_EQ(m.host().scanManager().Received().size(), registrations);  // nothing registered
      EXPECT_EQ(m.host().services().OpenConnections(), 0u);                // the driver is gone
    }
    ExpectCleanStart(m);
  }
}

// A configuration repository that answers every request with `answer` and
// fills the reply with values no batch has.
class GarbageConfig final : public hostsim::HostInterface {
 public:
  explicit GarbageConfig(std::int32_t answer) : answer_(answer) {}
  std::int32_t Call(std::uint32_t, void*, void* output) noexcept override {
    ++calls;
    if (output != nullptr) {
      auto& reply = *static_cast<ZEVO_DataHandleWrapper*>(output);
      reply.PutInt32(0x2012c, -1);
      reply.PutWString(0x20640, u"\xd800garbage");
      reply.PutBinary(0x10001, "\x01\x02\x03", 3);
      ZEVO_DataHandleWrapper nested(0x10002);
      nested.PutUInt32(1, 0xffffffffu);
      reply.PutData(nested);
    }
    return answer_;
  }
  int calls = 0;

 private:
  std::int32_t answer_;
};

// Start, a session with versions, stop: all succeed.
void ExpectWorkingModule(ModuleHost& m) {
  EXPECT_EQ(m.PostInitialize(), kCommonOk);
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

TEST(HostFaults, NoEngineFolderPath) {
  ModuleHost m(std::filesystem::path{});  // entry 9 answers null
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
  EXPECT_EQ(m.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  m.host().services().SetModulePath(u"no-separator-here");
  EXPECT_EQ(m.PostInitialize(), kEngineLoadFailed);
  m.Uninitialize();
}

}  // namespace
}  // namespace zevo::it
