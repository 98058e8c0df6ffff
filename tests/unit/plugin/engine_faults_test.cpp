#include <gtest/gtest.h>

#include "plugin_fixture.h"
#include "zevo/result.h"

namespace zevo::plugintest {
namespace {

class PluginFaultTest : public PluginTest {};

// A query leaves behind a driver that never opened its main session; a
// later start must not read that session's handle.
TEST_F(PluginFaultTest, DriverLeftWithoutMainSession) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  for (const char* faults : {"TKSetOption=-4", "TKInit=-5"}) {
    SCOPED_TRACE(faults);
    logtest::SetEnv("TARSK_FAULTS", faults);
    EXPECT_EQ(Plugin_Interface_QueryInterface(100011), nullptr);
    EXPECT_TRUE(DriverAlive());
    EXPECT_EQ(InterfaceCount(), 0u);
    EXPECT_EQ(Plugin_Interface_QueryInterface(100012), nullptr);  // not ready
    logtest::SetEnv("TARSK_FAULTS", "");

    EXPECT_EQ(Plugin_Interface_PostInitialize(), 0xe00c0007u);
    EXPECT_FALSE(DriverAlive());  // no object out: the driver went
    EXPECT_TRUE(Started());       // a failure leaves the state as it was
  }

  // A driver left behind is used by the next query as it is.
  logtest::SetEnv("TARSK_FAULTS", "TKInit=-5");
  EXPECT_EQ(Plugin_Interface_QueryInterface(100011), nullptr);
  logtest::SetEnv("TARSK_FAULTS", "");
  ICommonPluginInterface* object = Plugin_Interface_QueryInterface(100011);
  ASSERT_NE(object, nullptr);
  Plugin_Interface_Release(object);
  EXPECT_FALSE(DriverAlive());
  EXPECT_EQ(InterfaceCount(), 0u);
}

}  // namespace
}  // namespace zevo::plugintest
