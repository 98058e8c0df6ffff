#include "sim/plugin_module.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sim/executable_folder.h"

namespace zevo::hostsim {
namespace {

TEST(PluginModule, ReportsEveryMissingExportAndUnloadsOnce) {
  std::string error;
  PluginModule module = PluginModule::Open(ExecutableFolder() / ZEVO_FAKE_MODULE_NAME, error);
  ASSERT_TRUE(module.Loaded()) << error;
  EXPECT_FALSE(module.Complete());
  EXPECT_EQ(module.MissingExports(),
            (std::vector<std::string>{"Plugin_Interface_Initialize", "Plugin_Interface_PostInitialize",
                                      "Plugin_Interface_PreUninitialize", "Plugin_Interface_GetModuleVersion",
                                      "Plugin_Interface_QueryInterface", "Plugin_Interface_Release",
                                      "Plugin_Interface_CallFunc", "Plugin_Interface_OnNotify"}));
  ASSERT_NE(module->Plugin_Interface_GetModuleID, nullptr);
  EXPECT_EQ(module->Plugin_Interface_GetModuleID(), 4242u);
  EXPECT_EQ(module->Plugin_Interface_Initialize, nullptr);

  // Moving hands the library over; the emptied object unloads nothing.
  PluginModule moved = std::move(module);
  EXPECT_FALSE(module.Loaded());
  EXPECT_EQ(module->Plugin_Interface_GetModuleID, nullptr);
  ASSERT_TRUE(moved.Loaded());
  EXPECT_EQ(moved->Plugin_Interface_GetModuleID(), 4242u);
  moved = PluginModule();
  EXPECT_FALSE(moved.Loaded());
}

TEST(PluginModule, MissingFileIsAnErrorWithAText) {
  std::string error;
  const PluginModule module = PluginModule::Open(ExecutableFolder() / "no-such-module.bin", error);
  EXPECT_FALSE(module.Loaded());
  EXPECT_FALSE(module.Complete());
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(module.MissingExports().empty());
}

}  // namespace
}  // namespace zevo::hostsim
