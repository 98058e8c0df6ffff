// The driver with the reference engine loaded from its folder, as the
// plug-in runs it: start-up, a session, both versions, teardown.
#include "driver_fixture.h"
#include "util/self_protection.h"

namespace zevo::drivertest {
namespace {

std::u16string Wide(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

TEST_F(DriverTest, ReferenceEngineStartsServesAndStops) {
  // The reference engine carries no signature; the check is the loader's
  // concern and is tested there.
  util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckOff);
  struct Reset {
    ~Reset() { util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckUnknown); }
  } reset;
  const std::u16string folder = Wide(TARSK_TEST_ENGINE_DIR);
  services_.SetModulePath(folder + u"plugEngineTARSK.dll");
  driver::CEngineTARSK driver(services_.Organizer());
  ASSERT_EQ(driver.Initialize(), kOk);
  const std::int32_t* main = nullptr;
  ASSERT_EQ(driver.InitMainSession(&main), kOk);
  ASSERT_NE(main, nullptr);

  char16_t version[kPropertyCapacity] = {};
  ASSERT_EQ(driver.GetEngineProperty(version), kOk);
  EXPECT_EQ(std::u16string(version), Wide(TARSK_TEST_ENGINE_VERSION));
  ASSERT_EQ(driver.GetPatternProperty(version), kOk);
  EXPECT_NE(version[0], u'\0');

  std::int32_t handle = 0;
  ASSERT_EQ(driver.OpenSession(&handle, nullptr, "job"), kOk);
  EXPECT_NE(handle, *main);
  EXPECT_EQ(driver.LoadPattern(handle, true), kOk);
  EXPECT_EQ(driver.CloseSession(handle), kOk);
  // The engine's own refusal of a dead handle, with its last error.
  EXPECT_EQ(driver.CloseSession(handle), MapEngineStatus(-2));
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"Failed: TKQuit: ret=0xfffffffe");
  EXPECT_EQ(lines[1].rfind(u"    TARSK error: 0x", 0), 0u);
}

}  // namespace
}  // namespace zevo::drivertest
