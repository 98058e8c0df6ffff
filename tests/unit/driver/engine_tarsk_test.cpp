// CEngineTARSK start-up (settings, global options, the main session),
// sessions, patterns, properties and teardown.
#include <cstring>
#include <string>
#include <tuple>
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

TEST_F(DriverTest, InitializeSetsTheFourGlobalOptionsOnceModeOneUnlessTwo) {
  SetStore(StoreWith(R"({"key": "0xc70000", "type": "int32", "value": 2},
      {"key": "0xc20001", "type": "wstring", "value": "dbg%%1"},
      {"key": "0xc20002", "type": "wstring", "value": "tmp"})"));
  auto driver = MakeDriver();
  EXPECT_FALSE(driver->IsReady());
  ASSERT_EQ(driver->Initialize(), kOk);
  EXPECT_TRUE(driver->IsReady());
  const auto options = engine_.Options();
  ASSERT_EQ(options.size(), 4u);
  // "%%" stands for one percent sign; every option is global (handle 0).
  const std::tuple<std::int32_t, std::u16string> expected[] = {
      {1, u"dbg%1"}, {12, u"2"}, {0, EngineFolder()}, {23, u"TRUE"}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(std::tuple(options[i].handle, options[i].id, options[i].value),
              std::tuple_cat(std::tuple(0), expected[i]));
  }

  engine_.ClearCalls();
  EXPECT_EQ(driver->Initialize(), kCommonOk);
  EXPECT_TRUE(engine_.Calls().empty());

  // Any mode but 2, or one of the wrong type, is sent as 1; unset folders default.
  for (const std::string mode : {R"("int32", "value": 0)", R"("int32", "value": 3)", R"("wstring", "value": "2")"}) {
    SetStore(StoreWith(R"({"key": "0xc70000", "type": )" + mode + "}"));
    ASSERT_EQ(MakeDriver()->Initialize(), kOk) << mode;
    const auto sent = engine_.Options();
    EXPECT_EQ(sent[sent.size() - 3].value, u"1") << mode;
    EXPECT_EQ(sent[sent.size() - 4].value, ExpectedDefault(u"debug"));
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
  EXPECT_EQ(std::tuple(rcm[0].handle, rcm[0].size), std::tuple(0, 592u));
  EXPECT_EQ(std::memcmp(&rcm[0].record.value(), &rcm_->Record(), sizeof(ZEVO_RcmRecord)), 0);
  const auto init = engine_.CallsOf("TKInit");
  EXPECT_EQ(init.at(0).texts, std::vector<std::u16string>{u"{3C81E0A9-5D27-4b6f-9E42-A8F1C7D0B365}"});
  EXPECT_EQ(init[0].ints, std::vector<std::int64_t>{6});
  EXPECT_EQ(engine_.PatternSource(41), 0);  // its own pattern
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(41), nullptr);
  // The engine refusing the record is only logged.
  engine_.SetStatus("TKSetRCMTable", -12);
  engine_.SetLastError(-12, u"rcm");
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  EXPECT_EQ(Lines().at(0), u"Failed: TKSetRCMTable: major(0x4), minor(0x5), build(0x6), 0xfffffff4");

  // The host's table refuses, or is not there: the engine is not told.
  rcm_->SetAnswer(kFail);
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  services_.Register(ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE, nullptr);
  EXPECT_EQ(driver->InitMainSession(&main), kOk);
  EXPECT_EQ(rcm_->Requests(), 3u);
  EXPECT_EQ(engine_.CountCalls("TKSetRCMTable"), 2u);
}

TEST_F(DriverTest, SessionsEnterAndLeaveTheContextMapTeardownQuitsTheMainOne) {
  auto driver = StartedDriver();
  Owner owner, going;
  std::int32_t handle = 0, a = 0, b = 0;
  ASSERT_EQ(driver->OpenSession(&handle, &owner, "job one"), kOk);
  ASSERT_EQ(driver->OpenSession(&a, &going, "a"), kOk);
  ASSERT_EQ(driver->OpenSession(&b, &going, "b"), kOk);
  EXPECT_EQ(driver->LoadPattern(handle, true), kOk);
  EXPECT_EQ(engine_.PatternSource(handle), driver->MainSession());

  // A detached owner leaves no entry; its engine sessions stay open.
  driver::CEngineTARSK::DetachSessionOwner(&going);
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(a), nullptr);
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(b), nullptr);
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(handle), &owner);
  EXPECT_TRUE(engine_.IsOpen(a));

  // A refused close keeps the session where it was.
  engine_.SetStatus("TKQuit", -10);
  engine_.SetLastError(-10, u"busy");
  EXPECT_EQ(driver->CloseSession(handle), MapEngineStatus(-10));
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(handle), &owner);
  engine_.SetStatus("TKQuit", 0);
  EXPECT_EQ(driver->CloseSession(handle), kOk);
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(handle), nullptr);
  EXPECT_FALSE(engine_.IsOpen(handle));
  EXPECT_EQ(Lines().at(0), u"Failed: TKQuit: ret=0xfffffff6");

  // Teardown quits the main session, then clears the RCM table.
  const std::int32_t main = driver->MainSession();
  engine_.ClearCalls();
  driver.reset();
  EXPECT_EQ(engine_.CallNames(), (std::vector<std::string>{"TKQuit", "TKSetRCMTable"}));
  EXPECT_EQ(engine_.CallsOf("TKQuit")[0].ints[0], main);
  EXPECT_FALSE(engine_.RcmCalls().back().record.has_value());
  EXPECT_EQ(services_.OpenConnections(), 0u);  // the RCM table's connection given back
}

TEST_F(DriverTest, EngineRefusalsAreMappedAndPropertiesFillTheBuffer) {
  auto driver = StartedDriver();
  engine_.SetLastError(3, u"no");
  engine_.SetStatus("TKInit", -1);
  std::int32_t handle = 77;
  EXPECT_EQ(driver->OpenSession(&handle, nullptr, "x"), static_cast<std::int32_t>(0xe030ffffu));
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(77), nullptr);
  engine_.SetStatus("TKReadSpywarePattern", -6);
  EXPECT_EQ(driver->LoadPattern(driver->MainSession(), false), MapEngineStatus(-6));
  EXPECT_EQ(engine_.CallsOf("TKReadSpywarePattern")[0].ints,
            (std::vector<std::int64_t>{driver->MainSession(), 0, 0, 0}));
  engine_.SetStatus("TKGetEngineProperty", 0x12345);
  char16_t buffer[kPropertyCapacity] = {};
  EXPECT_EQ(driver->GetEngineProperty(buffer), static_cast<std::int32_t>(0xe0302345u));
  EXPECT_TRUE(Logged(u"Failed: TKInit: ret=0xffffffff"));
  EXPECT_TRUE(Logged(u"Failed: LoadPattern: ret=0xfffffffa"));
  EXPECT_EQ(Lines().back(), u"    TARSK error: 0x3: no");
  std::vector<std::int64_t> handles;  // of the last errors: the first as TKInit left it
  for (const auto& call : engine_.CallsOf("TKGetLastError")) handles.push_back(call.ints[0]);
  EXPECT_EQ(handles, (std::vector<std::int64_t>{77, driver->MainSession(), 0}));

  // Properties go into the caller's buffer.
  engine_.SetStatus("TKGetEngineProperty", 0);
  engine_.SetPatternVersion(u"1.234.00");
  engine_.SetEngineVersion(u"3.2.0.1024-and-more");
  ASSERT_EQ(driver->GetPatternProperty(buffer), kOk);
  EXPECT_EQ(std::u16string(buffer), u"1.234.00");
  ASSERT_EQ(driver->GetEngineProperty(buffer), kOk);
  EXPECT_EQ(std::u16string(buffer), u"3.2.0.1024-and");  // the engine cuts at 15
  EXPECT_EQ(engine_.CallsOf("TKGetPatternProperty")[0].ints, (std::vector<std::int64_t>{driver->MainSession(), 1, 15}));
  EXPECT_EQ(engine_.CallsOf("TKGetEngineProperty").back().ints, (std::vector<std::int64_t>{1, 15}));
}

}  // namespace
}  // namespace zevo::drivertest
