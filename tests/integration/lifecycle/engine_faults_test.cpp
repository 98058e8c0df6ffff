// Engine faults at start-up: each gives its result code and log lines, and
// the module starts cleanly afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "../common/module_host.h"
#include "../common/module_log.h"
#include "../common/scoped_env.h"
#include "common/utf.h"
#include "sim/engine_folder.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

using Texts = std::vector<std::u16string>;

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

struct InjectedFault {
  const char* faults;
  std::int32_t result;
  Texts lines;  // level 5 and above, "Plugin TARSK"
};

TEST(EngineFaults, FailingEngineCallsAtStartUp) {
  const std::vector<InjectedFault> cases = {
      {"TKSetOption=-12",
       static_cast<std::int32_t>(0xe030fff4u),
       {u"Failed: TKSetOption: id=0x1, ret=0xfffffff4", u"    TARSK error: 0xfffffff4: injected fault in TKSetOption"}},
      {"TKInit=-12",
       kEngineLoadFailed,
       {u"Failed: TKInit: ret=0xfffffff4", u"    TARSK error: 0xfffffff4: injected fault in TKInit"}},
      {"TKReadSpywarePattern=-6",
       kEngineLoadFailed,
       {u"Failed: LoadPattern: ret=0xfffffffa",
        u"    TARSK error: 0xfffffffa: injected fault in TKReadSpywarePattern"}},
      {"TKOpenTableSeqEnum=-12",
       static_cast<std::int32_t>(0xe030fff4u),
       {u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_PRODUCTITEMS) 0xfffffff4",
        u"    TARSK error: 0xfffffff4: injected fault in TKOpenTableSeqEnum"}},
      {"TKOpenTableSeqEnum=-2@2",
       static_cast<std::int32_t>(0xe030fffeu),
       {u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_THREATTYPES) 0xfffffffe",
        u"    TARSK error: 0xfffffffe: injected fault in TKOpenTableSeqEnum"}},
      {"TKOpenTableSeqEnum=-12@3",
       static_cast<std::int32_t>(0xe030fff4u),
       {u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_COMPANY) 0xfffffff4",
        u"    TARSK error: 0xfffffff4: injected fault in TKOpenTableSeqEnum"}},
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
      EXPECT_EQ(log.Plugin(), fault.lines);
      EXPECT_EQ(m.host().scanManager().Received().size(), registrations);  // nothing registered
      EXPECT_EQ(m.host().services().OpenConnections(), 0u);              // the driver is gone
    }
    ExpectCleanStart(m);
  }
}

}  // namespace
}  // namespace zevo::it
