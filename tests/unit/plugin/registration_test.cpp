#include <gtest/gtest.h>

#include "plugin/command_registration.h"
#include "plugin_fixture.h"

namespace zevo::plugintest {
namespace {

TEST_F(PluginTest, UnreachableScanManager) {
  logtest::LineCapture capture;
  logtest::Configure("Core Scan Manager=1;Plugin TARSK=5");
  UseScanManager(0);  // not registered
  EXPECT_EQ(Start(), Code(0xe00c000bu));
  EXPECT_TRUE(Started());  // started nevertheless
  ICommonPluginInterface* status = Plugin_Interface_QueryInterface(100012);
  EXPECT_NE(status, nullptr);
  Plugin_Interface_Release(status);
  EXPECT_EQ(Plugin_Interface_PreUninitialize(), 0xe00c000bu);
  EXPECT_FALSE(Started());
  EXPECT_EQ(plugin::RegisterEngineCommands(nullptr, true), Code(0xe00c000bu));
  EXPECT_TRUE(capture.Texts().empty());
  EXPECT_EQ(services_.OpenConnections(), 0u);
}

TEST_F(PluginTest, RefusedRegistrationIsLoggedAndStillStarts) {
  logtest::LineCapture capture;
  logtest::Configure("Core Scan Manager=6");
  UseScanManager(Code(0xe0ff000du));
  EXPECT_EQ(Start(), Code(0xe00c000bu));
  EXPECT_TRUE(Started());
  UseScanManager(Code(0xe0ff0007u));
  EXPECT_EQ(Plugin_Interface_PreUninitialize(), 0xe0ff0007u);

  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 2u);
  for (const logtest::CapturedLine& line : lines) {
    EXPECT_EQ(line.module, u"Core Scan Manager");
    EXPECT_EQ(line.level, 6);
  }
  EXPECT_EQ(lines[0].text, u"Failed to register TARSK engine commands. iRet = 0xe0ff000d");
  EXPECT_EQ(lines[1].text, u"Failed to register TARSK engine commands. iRet = 0xe0ff0007");
}

}  // namespace
}  // namespace zevo::plugintest
