#include <gtest/gtest.h>

#include <string>

#include "plugin_fixture.h"
#include "zevo/result.h"

namespace zevo::plugintest {
namespace {

class PluginFaultTest : public PluginTest {
 protected:
  // A start with TARSK_FAULTS = `faults`; the start's result.
  std::int32_t StartFaulty(const char* faults) {
    logtest::SetEnv("TARSK_FAULTS", faults);
    const std::int32_t result = Start();
    logtest::SetEnv("TARSK_FAULTS", "");
    return result;
  }
};

TEST_F(PluginFaultTest, FailedStartsLeaveTheModuleUsable) {
  logtest::LineCapture capture;
  logtest::Configure("Plugin TARSK=5");
  // The main session does not open, or its pattern does not load.
  EXPECT_EQ(StartFaulty("TKInit=-5"), Code(0xe00c0007u));
  EXPECT_FALSE(Started());
  EXPECT_FALSE(DriverAlive());
  EXPECT_EQ(StartFaulty("TKReadSpywarePattern=-6"), Code(0xe00c0007u));
  EXPECT_FALSE(Started());
  // A table enumeration fails: its mapped status, nothing registered.
  EXPECT_EQ(StartFaulty("TKOpenTableSeqEnum=-7"), MapEngineStatus(-7));
  EXPECT_FALSE(Started());
  EXPECT_FALSE(DriverAlive());
  EXPECT_TRUE(scanManager_->Commands().empty());
  EXPECT_FALSE(capture.Texts().empty());

  EXPECT_EQ(Start(), Code(0x200c0000u));
  ICommonPluginInterface* object = Plugin_Interface_QueryInterface(100011);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(Plugin_Interface_CallFunc(object, 0, nullptr, nullptr), Code(0x20ff0000u));
  EXPECT_EQ(Plugin_Interface_CallFunc(object, 1, nullptr, nullptr), Code(0x200c0000u));
  Plugin_Interface_Release(object);
}

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
