// The plug-in in this process, driven through its exports with the reference
// host services and the reference engine of the build tree.
//
// The plug-in's state is process-wide: every test leaves it stopped, with
// no object out and no driver alive (TearDown checks).
#ifndef ZEVO_TESTS_UNIT_PLUGIN_PLUGIN_FIXTURE_H_
#define ZEVO_TESTS_UNIT_PLUGIN_PLUGIN_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "../log/log_test_support.h"
#include "os/path.h"
#include "plugin/exports.h"
#include "plugin/plugin_state.h"
#include "sim/scan_manager.h"
#include "sim/services.h"
#include "util/self_protection.h"

namespace zevo::plugintest {

constexpr std::int32_t Code(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

// A file of the engine folder, as the module path names it.
inline std::u16string EngineFile(std::u16string_view name) {
  const std::string_view folder(TARSK_ENGINE_DIR);
  return std::u16string(folder.begin(), folder.end()) + os::kPathSeparator + std::u16string(name);
}

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckOff);
    logtest::UnsetEnv("TARSK_FAULTS");
    services_.SetModulePath(EngineFile(u"plugEngineTARSK"));
    UseScanManager(Code(0x200c0000u));
  }

  void TearDown() override {
    logtest::UnsetEnv("TARSK_FAULTS");
    Plugin_Interface_PreUninitialize();
    Plugin_Interface_Uninitialize();
    Plugin_Interface_Release(nullptr);  // drops a driver left without objects
    EXPECT_EQ(Now(), (State{false, false, 0}));
  }

  // The reference host's scan manager answering `answer`; 0: none.
  void UseScanManager(std::int32_t answer) {
    scanManager_ = answer == 0 ? nullptr : std::make_shared<hostsim::ScanManager>();
    if (scanManager_ != nullptr) scanManager_->SetAnswer(answer);
    services_.Register(ZEVO_SCAN_MANAGER_MODULE, ZEVO_SCAN_MANAGER_INTERFACE, scanManager_);
  }

  // Initialize and PostInitialize; the latter's result.
  std::int32_t Start() {
    EXPECT_EQ(Plugin_Interface_Initialize(services_.Organizer()), 0x200c0000u);
    return static_cast<std::int32_t>(Plugin_Interface_PostInitialize());
  }

  // The plug-in's process-wide state.
  struct State {
    bool started, driverAlive;
    std::uint32_t objectsOut;
    bool operator==(const State&) const = default;
    friend void PrintTo(const State& s, std::ostream* out) {
      *out << "started " << s.started << ", driver " << s.driverAlive << ", objects " << s.objectsOut;
    }
  };
  static State Now() {
    os::RecursiveLockGuard guard(plugin::g_lock);
    return {plugin::g_bStarted, plugin::g_pEngine != nullptr, plugin::g_nInterfaceCount};
  }
  static bool DriverAlive() { return Now().driverAlive; }

  hostsim::Services services_;
  std::shared_ptr<hostsim::ScanManager> scanManager_;
};

// The version line of the pattern file beside the engine.
inline std::u16string PatternVersion() {
  std::ifstream pattern(TARSK_ENGINE_DIR "/tarskptn.da6");
  std::string line;
  while (std::getline(pattern, line)) {
    if (line.rfind("version\t", 0) == 0) return std::u16string(line.begin() + 8, line.end());
  }
  return {};
}

}  // namespace zevo::plugintest

#endif  // ZEVO_TESTS_UNIT_PLUGIN_PLUGIN_FIXTURE_H_
