#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store_test_support.h"
#include "util/sys_config_manager.h"
#include "zevo/result.h"

namespace zevo::util {
namespace {

// fixtures/system_config.cfg was written by SysConfigManager::saveFile on
// Linux from a store holding exactly these values. A store on any platform
// must read it, and must write the very same bytes back.
const std::vector<SysConfigRecord> kFixtureValues = {
    {u"ZEVO_ALL", u"ZEVO_CFG_SP_RESTART_ND_REVERT", u"0"},
    {u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"1"},
    {u"ZEVO_ALL", u"ZEVO_CFG_SP_MAIN_OBJECTIVE", u"1"},
    {u"Proxy", u"Address", u"proxy.example:8080"},
    {u"Proxy", u"Grüße", u"Größe ≤ 10 😀"},
};

TEST(SysConfigFixture, FileSavedOnOnePlatformLoadsOnTheOther) {
  SysConfigManager store(u"" ZEVO_STORE_FIXTURE_DIR, u"system_config.cfg");
  ASSERT_TRUE(store.Load());
  std::vector<SysConfigRecord> all;
  ASSERT_EQ(store.GetAllSysConfigs(all), kCommonOk);
  EXPECT_EQ(all, kFixtureValues);

  filestest::TempFolder folder;
  ASSERT_TRUE(store.saveFile(folder.text(), u"again.cfg", false));
  EXPECT_EQ(folder.Read("again.cfg"), storetest::ReadBytes(u"" ZEVO_STORE_FIXTURE_DIR u"/system_config.cfg"));
}

}  // namespace
}  // namespace zevo::util
