// CEngineTARSK sessions, patterns, properties and teardown.
#include "driver_fixture.h"

namespace zevo::drivertest {
namespace {

using driver::CEngineTARSK;

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
  CEngineTARSK::DetachSessionOwner(&going);
  CEngineTARSK::DetachSessionOwner(nullptr);
  EXPECT_EQ(CEngineTARSK::GetSessionContext(a), nullptr);
  EXPECT_EQ(CEngineTARSK::GetSessionContext(b), nullptr);
  EXPECT_EQ(CEngineTARSK::GetSessionContext(handle), &owner);
  EXPECT_TRUE(engine_.IsOpen(a));

  // A refused close keeps the session where it was.
  engine_.SetStatus("TKQuit", -10);
  engine_.SetLastError(-10, u"busy");
  EXPECT_EQ(driver->CloseSession(handle), MapEngineStatus(-10));
  EXPECT_EQ(CEngineTARSK::GetSessionContext(handle), &owner);
  EXPECT_EQ(engine_.CallsOf("TKGetLastError")[0].ints[0], handle);
  engine_.SetStatus("TKQuit", 0);
  EXPECT_EQ(driver->CloseSession(handle), kOk);
  EXPECT_EQ(CEngineTARSK::GetSessionContext(handle), nullptr);
  EXPECT_FALSE(engine_.IsOpen(handle));
  EXPECT_EQ(Lines(),
            (std::vector<std::u16string>{u"Failed: TKQuit: ret=0xfffffff6", u"    TARSK error: 0xfffffff6: busy"}));

  // Teardown quits the main session, then clears the RCM table.
  const std::int32_t main = driver->MainSession();
  engine_.ClearCalls();
  driver.reset();
  EXPECT_EQ(engine_.CallNames(), (std::vector<std::string>{"TKQuit", "TKSetRCMTable"}));
  EXPECT_EQ(engine_.CallsOf("TKQuit")[0].ints[0], main);
  EXPECT_FALSE(engine_.RcmCalls().back().record.has_value());
  EXPECT_EQ(engine_.RcmCalls().back().size, 0u);
  EXPECT_EQ(services_.OpenConnections(), 0u);  // the RCM table's connection given back
}

TEST_F(DriverTest, EngineRefusalsAreMappedAndPropertiesFillTheBuffer) {
  auto driver = StartedDriver();
  engine_.SetLastError(3, u"no");
  engine_.SetStatus("TKInit", -1);
  std::int32_t handle = 77;
  EXPECT_EQ(driver->OpenSession(&handle, nullptr, "x"), static_cast<std::int32_t>(0xe030ffffu));
  EXPECT_EQ(CEngineTARSK::GetSessionContext(77), nullptr);
  engine_.SetStatus("TKReadSpywarePattern", -6);
  EXPECT_EQ(driver->LoadPattern(driver->MainSession(), false), MapEngineStatus(-6));
  EXPECT_EQ(engine_.CallsOf("TKReadSpywarePattern")[0].ints,
            (std::vector<std::int64_t>{driver->MainSession(), 0, 0, 0}));
  engine_.SetStatus("TKGetEngineProperty", 0x12345);
  char16_t buffer[kPropertyCapacity] = {};
  EXPECT_EQ(driver->GetEngineProperty(buffer), static_cast<std::int32_t>(0xe0302345u));
  EXPECT_EQ(Lines(),
            (std::vector<std::u16string>{u"Failed: TKInit: ret=0xffffffff", u"    TARSK error: 0x3: no",
                                         u"Failed: LoadPattern: ret=0xfffffffa", u"    TARSK error: 0x3: no",
                                         u"Failed: TKGetEngineProperty: ret=0x12345", u"    TARSK error: 0x3: no"}));
  std::vector<std::int64_t> handles;  // of the last errors: the first as TKInit left it
  for (const auto& call : engine_.CallsOf("TKGetLastError")) handles.push_back(call.ints[0]);
  EXPECT_EQ(handles, (std::vector<std::int64_t>{77, driver->MainSession(), 0}));

  // Properties go into the caller's buffer.
  engine_.SetStatus("TKGetEngineProperty", 0);
  engine_.SetPatternVersion(u"1.234.00");
  engine_.SetEngineVersion(u"3.2.0.1024-and-more");
  EXPECT_EQ(driver->GetPatternProperty(nullptr), kArgumentMissing);
  EXPECT_EQ(driver->GetEngineProperty(nullptr), kArgumentMissing);
  ASSERT_EQ(driver->GetPatternProperty(buffer), kOk);
  EXPECT_EQ(std::u16string(buffer), u"1.234.00");
  ASSERT_EQ(driver->GetEngineProperty(buffer), kOk);
  EXPECT_EQ(std::u16string(buffer), u"3.2.0.1024-and");  // the engine cuts at 15
  EXPECT_EQ(engine_.CallsOf("TKGetPatternProperty")[0].ints, (std::vector<std::int64_t>{driver->MainSession(), 1, 15}));
  EXPECT_EQ(engine_.CallsOf("TKGetEngineProperty").back().ints, (std::vector<std::int64_t>{1, 15}));
}

}  // namespace
}  // namespace zevo::drivertest
