// CEngineTARSK start-up: settings, global options, the main session.
#include <cstring>
#include <string>
#include <vector>

#include "driver_fixture.h"
#include "util/env_expand.h"

namespace zevo::drivertest {
namespace {

std::string StoreWith(const std::string& values) { return R"({"values": [)" + values + "]}"; }

// What an unset folder setting becomes: the default expanded when it can be.
std::u16string ExpectedDefault(std::u16string_view name) {
  std::u16string folder = std::u16string(u"%zevo_install_path%") + std::u16string(name) + os::kPathSeparator;
  std::u16string expanded;
  return util::ExpandEnvironmentVar(folder, expanded, true) ? expanded : folder;
}

TEST_F(DriverTest, InitializeSetsTheFourGlobalOptionsOnce) {
  SetStore(StoreWith(R"({"key": "0xc70000", "type": "int32", "value": 2},
      {"key": "0xc20001", "type": "wstring", "value": "dbg%%1"},
      {"key": "0xc20002", "type": "wstring", "value": "tmp"})"));
  auto driver = MakeDriver();
  EXPECT_FALSE(driver->IsReady());
  ASSERT_EQ(driver->Initialize(), kOk);
  EXPECT_TRUE(driver->IsReady());
  const auto options = engine_.Options();
  ASSERT_EQ(options.size(), 4u);
  const std::vector<std::int32_t> ids{options[0].id, options[1].id, options[2].id, options[3].id};
  EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 12, 0, 23}));
  EXPECT_EQ(options[0].value, u"dbg%1");  // "%%" stands for one percent sign
  EXPECT_EQ(options[1].value, u"2");
  EXPECT_EQ(options[2].value, EngineFolder());
  EXPECT_EQ(options[3].value, u"TRUE");
  for (const auto& option : options) EXPECT_EQ(option.handle, 0);

  engine_.ClearCalls();
  EXPECT_EQ(driver->Initialize(), kCommonOk);
  EXPECT_TRUE(engine_.Calls().empty());
  EXPECT_TRUE(Lines().empty());
}

// Any mode but 2, or one of the wrong type, is sent as 1.
TEST_F(DriverTest, EngineModeIsOneUnlessConfiguredAsTwoAndFoldersDefault) {
  for (const std::string mode : {R"("int32", "value": 0)", R"("int32", "value": 3)", R"("wstring", "value": "2")"}) {
    SetStore(StoreWith(R"({"key": "0xc70000", "type": )" + mode + "}"));
    ASSERT_EQ(MakeDriver()->Initialize(), kOk) << mode;
    const auto options = engine_.Options();
    EXPECT_EQ(options[options.size() - 3].value, u"1") << mode;
    EXPECT_EQ(options[options.size() - 4].value, ExpectedDefault(u"debug"));
  }
}

TEST_F(DriverTest, StartUpWithoutFolderWithARefusedOptionWithoutConfiguration) {
  services_.SetModulePath(u"");  // entry 9 answers null
  EXPECT_EQ(MakeDriver()->Initialize(), kEngineLoadFailed);
  services_.SetModulePath(u"plugEngineTARSK.dll");  // no separator
  EXPECT_EQ(MakeDriver()->Initialize(), kEngineLoadFailed);
  EXPECT_EQ(driver::CEngineTARSK(nullptr, testing::FakeEngine::Table()).Initialize(), kEngineLoadFailed);
  EXPECT_TRUE(engine_.Calls().empty());
  EXPECT_TRUE(Lines().empty());

  services_.SetModulePath(EngineFolder() + u"plugEngineTARSK.dll");
  engine_.SetStatus("TKSetOption", -7);
  engine_.SetLastError(-7, u"disk trouble");
  auto driver = MakeDriver();
  EXPECT_EQ(driver->Initialize(), static_cast<std::int32_t>(0xe030fff9u));
  EXPECT_TRUE(driver->IsReady());  // the library stays loaded
  EXPECT_EQ(engine_.CallNames(), (std::vector<std::string>{"TKSetOption", "TKGetLastError"}));
  EXPECT_EQ(engine_.CallsOf("TKGetLastError")[0].ints, (std::vector<std::int64_t>{0, 255}));
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"Failed: TKSetOption: id=0x1, ret=0xfffffff9",
                                                  u"    TARSK error: 0xfffffff9: disk trouble"}));

  engine_.SetStatus("TKSetOption", 0);
  services_.Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, nullptr);
  ASSERT_EQ(MakeDriver()->Initialize(), kOk);
  EXPECT_EQ(engine_.Options().at(0).value, ExpectedDefault(u"debug"));
  EXPECT_EQ(engine_.Options()[1].value, u"1");
}

TEST_F(DriverTest, MainSessionGetsTheRcmRecordAndItsOwnPattern) {
  auto driver = MakeDriver();
  ASSERT_EQ(driver->Initialize(), kOk);
  engine_.SetNextSession(41);
  const std::int32_t* main = nullptr;
  ASSERT_EQ(driver->InitMainSession(&main), kOk);
  EXPECT_EQ(*main, 41);
  const auto rcm = engine_.RcmCalls();
  ASSERT_EQ(rcm.size(), 1u);
  EXPECT_EQ(rcm[0].handle, 0);
  EXPECT_EQ(rcm[0].size, 592u);
  ASSERT_TRUE(rcm[0].record.has_value());
  EXPECT_EQ(std::memcmp(&*rcm[0].record, &rcm_->Record(), sizeof(ZEVO_RcmRecord)), 0);
  const auto init = engine_.CallsOf("TKInit");
  EXPECT_EQ(init.at(0).texts, std::vector<std::u16string>{u"{3C81E0A9-5D27-4b6f-9E42-A8F1C7D0B365}"});
  EXPECT_EQ(init[0].ints, std::vector<std::int64_t>{6});
  EXPECT_EQ(engine_.PatternSource(41), 0);  // its own pattern
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(41), nullptr);
  // The engine refusing the record is only logged.
  engine_.SetStatus("TKSetRCMTable", -12);
  engine_.SetLastError(-12, u"rcm");
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  EXPECT_EQ(Lines(),
            (std::vector<std::u16string>{u"Failed: TKSetRCMTable: major(0x4), minor(0x5), build(0x6), 0xfffffff4",
                                         u"    TARSK error: 0xfffffff4: rcm"}));

  // The host's table refuses, or is not there: the engine is not told.
  rcm_->SetAnswer(kFail);
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  services_.Register(ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE, nullptr);
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  EXPECT_EQ(rcm_->Requests(), 3u);
  EXPECT_EQ(engine_.CountCalls("TKSetRCMTable"), 2u);
}

}  // namespace
}  // namespace zevo::drivertest
