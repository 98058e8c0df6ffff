// CEngineTARSK start-up, settings, options, RCM table and teardown against
// the fake engine and the reference host services.
#include <functional>
#include <string>
#include <vector>

#include "driver/engine_tables.h"
#include "driver_fixture.h"
#include "util/env_expand.h"
#include "zevo/result.h"

namespace zevo::drivertest {
namespace {

using testing::FakeEngine;

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

TEST_F(DriverTest, EngineModeIsOneUnlessConfiguredAsTwoAndFoldersDefault) {
  const std::vector<std::pair<std::string, std::u16string>> cases{
      {R"({"key": "0xc70000", "type": "int32", "value": 0})", u"1"},
      {R"({"key": "0xc70000", "type": "int32", "value": 3})", u"1"},
      {R"({"key": "0xc70000", "type": "int32", "value": 2})", u"2"},
      {R"({"key": "0xc70000", "type": "wstring", "value": "2"})", u"1"},  // wrong type: unread
  };
  for (const auto& [value, sent] : cases) {
    SetStore(StoreWith(value));
    FakeEngine engine;
    driver::CEngineTARSK driver(services_.Organizer(), FakeEngine::Table());
    ASSERT_EQ(driver.Initialize(), kOk) << value;
    const auto options = engine.Options();
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[1].value, sent) << value;
    EXPECT_EQ(options[0].value, ExpectedDefault(u"debug"));
  }
  EXPECT_NE(ExpectedDefault(u"debug").find(std::u16string(u"debug") + os::kPathSeparator), std::u16string::npos);
}

// Not ready: engine operations refuse without reaching the engine (one of
// each source file's groups; each has its own guard).
TEST_F(DriverTest, UnreadyDriverRefusesEveryOperation) {
  auto unready = MakeDriver();
  std::int32_t handle = 0;
  std::vector<bool> flags{true};
  ZEVO_ReferentialItem item{};
  driver::EngineTables tables;
  const std::vector<std::function<std::int32_t()>> operations = {
      [&] { return unready->OpenSession(&handle, nullptr, "x"); },
      [&] { return unready->StartScan(1, true, true, true, u"", {}); },
      [&] { return unready->StopScan(1); },
      [&] { return unready->BackupAndClean(1, true, true, true, u"b"); },
      [&] { return unready->SelectItemsForClean(1, 1, false, true, true, flags); },
      [&] { return unready->SpywareRestore(1, u"x"); },
      [&] { return unready->AddReferentialScanItem(1, item); },
      [&] { return unready->EnumerateCompanyIdNameTable(1, tables.companies); },
      [&] { return unready->AddWhitelistItem(1, u"Acme"); },
  };
  for (std::size_t i = 0; i < operations.size(); ++i) EXPECT_EQ(operations[i](), kEngineNotReady) << i;
  EXPECT_TRUE(flags.empty());
  EXPECT_EQ(unready->GetTableRow(1, 1, 1), u"");
  const std::int32_t* main = nullptr;
  EXPECT_EQ(unready->InitMainSession(&main), kEngineNotReady);
  unready->StopAllScans();
  unready->SendCleanResult(1, {true});
  unready.reset();
  EXPECT_EQ(rcm_->calls, 0);
  EXPECT_TRUE(engine_.Calls().empty());
}

TEST_F(DriverTest, RefusedOptionStopsStartUpWithTheEngineError) {
  engine_.SetStatus("TKSetOption", -7);
  engine_.SetLastError(-7, u"disk trouble");
  auto driver = MakeDriver();
  EXPECT_EQ(driver->Initialize(), MapEngineStatus(-7));
  EXPECT_EQ(MapEngineStatus(-7), static_cast<std::int32_t>(0xe030fff9u));
  EXPECT_TRUE(driver->IsReady());  // the library stays loaded
  EXPECT_EQ(engine_.CallNames(), (std::vector<std::string>{"TKSetOption", "TKGetLastError"}));
  EXPECT_EQ(engine_.CallsOf("TKGetLastError")[0].ints, (std::vector<std::int64_t>{0, 255}));
  EXPECT_EQ(Lines(), (std::vector<std::u16string>{u"Failed: TKSetOption: id=0x1, ret=0xfffffff9",
                                                  u"    TARSK error: 0xfffffff9: disk trouble"}));
}

TEST_F(DriverTest, MainSessionGetsTheRcmRecordAndItsOwnPattern) {
  auto driver = MakeDriver();
  ASSERT_EQ(driver->Initialize(), kOk);
  engine_.SetNextSession(41);
  const std::int32_t* main = nullptr;
  ASSERT_EQ(driver->InitMainSession(&main), kOk);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(*main, 41);
  EXPECT_EQ(driver->MainSession(), 41);

  const auto rcm = engine_.RcmCalls();
  ASSERT_EQ(rcm.size(), 1u);
  EXPECT_EQ(rcm[0].handle, 0);
  EXPECT_EQ(rcm[0].size, 592u);
  ASSERT_TRUE(rcm[0].record.has_value());
  EXPECT_EQ(rcm[0].record->build, 6u);
  EXPECT_EQ(rcm[0].record->opaque[579], 0xab);

  const auto init = engine_.CallsOf("TKInit");
  ASSERT_EQ(init.size(), 1u);
  EXPECT_EQ(init[0].texts, std::vector<std::u16string>{u"{3C81E0A9-5D27-4b6f-9E42-A8F1C7D0B365}"});
  EXPECT_EQ(init[0].ints, std::vector<std::int64_t>{6});
  EXPECT_EQ(engine_.PatternSource(41), 0);  // its own pattern
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(41), nullptr);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(DriverTest, RcmFailuresAreOnlyLogged) {
  engine_.SetStatus("TKSetRCMTable", -12);
  engine_.SetLastError(-12, u"rcm");
  auto driver = MakeDriver();
  ASSERT_EQ(driver->Initialize(), kOk);
  const std::int32_t* main = nullptr;
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  EXPECT_EQ(Lines(),
            (std::vector<std::u16string>{u"Failed: TKSetRCMTable: major(0x4), minor(0x5), build(0x6), 0xfffffff4",
                                         u"    TARSK error: 0xfffffff4: rcm"}));
}

}  // namespace
}  // namespace zevo::drivertest
