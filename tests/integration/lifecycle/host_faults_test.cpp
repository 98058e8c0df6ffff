// Host services that are missing or answer nonsense: the module starts with
// its defaults and works.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "../common/module_host.h"
#include "../common/module_log.h"
#include "zevo/msg_wrapper.h"
#include "zevo/organizer.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

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

TEST(HostFaults, ConfigurationAbsentOrAnsweringGarbage) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  m.host().Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, nullptr);
  {
    SCOPED_TRACE("absent");
    ExpectWorkingModule(m);
  }
  for (const std::int32_t answer : {kCommonOk, kFail, kNoConnection}) {
    SCOPED_TRACE(answer);
    auto garbage = std::make_shared<GarbageConfig>(answer);
    m.host().Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, garbage);
    ExpectWorkingModule(m);
    EXPECT_GE(garbage->calls, 2);  // the driver's settings and the session's
  }
  m.Uninitialize();
}

TEST(HostFaults, RcmTableRefusingOrAbsent) {
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  const ModuleLog log;
  m.Initialize();
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
