// What a driver test stands on: the fake engine, host services with a
// configuration store file and the RCM table 4.5.6, and the module's lines.
#ifndef ZEVO_TESTS_UNIT_DRIVER_DRIVER_FIXTURE_H_
#define ZEVO_TESTS_UNIT_DRIVER_DRIVER_FIXTURE_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../log/log_test_support.h"
#include "driver/engine_tables.h"
#include "driver/engine_tarsk.h"
#include "fake_engine.h"
#include "os/path.h"
#include "sim/config_repository.h"
#include "sim/rcm_table.h"
#include "sim/services.h"
#include "zevo/result.h"

namespace zevo::drivertest {

// A session owner that records the stop flag.
struct Owner final : driver::ISessionOwner {
  void SetStopFlag(bool stop) noexcept override { stopped = stop; }
  std::atomic<bool> stopped{false};
};

// The engine folder the module path points into, with its separator.
inline std::u16string EngineFolder() {
  return std::u16string(u"zevo") + os::kPathSeparator + u"engine" + os::kPathSeparator;
}

class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    logtest::Configure("Plugin TARSK=1");
    services_.SetModulePath(EngineFolder() + u"plugEngineTARSK.dll");
    services_.Register(ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE, rcm_);
    SetStore(R"({"values": []})");
  }
  ~DriverTest() override {
    logtest::Configure(nullptr);
    std::error_code ignored;
    std::filesystem::remove(store_path_, ignored);
  }

  // Replaces the configuration repository by one over `json`.
  void SetStore(const std::string& json) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    store_path_ = std::filesystem::temp_directory_path() /
                  ("zevo-driver-" + std::string(info->test_suite_name()) + "-" + info->name() + ".json");
    std::ofstream(store_path_, std::ios::binary | std::ios::trunc) << json;
    services_.Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE,
                       std::make_shared<hostsim::ConfigRepository>(store_path_));
  }

  std::unique_ptr<driver::CEngineTARSK> MakeDriver() {
    return std::make_unique<driver::CEngineTARSK>(services_.Organizer(), testing::FakeEngine::Table());
  }

  // A driver through Initialize and InitMainSession, its calls forgotten.
  std::unique_ptr<driver::CEngineTARSK> StartedDriver() {
    auto driver = MakeDriver();
    EXPECT_EQ(driver->Initialize(), kOk);
    const std::int32_t* main = nullptr;
    EXPECT_EQ(driver->InitMainSession(&main), kOk);
    engine_.ClearCalls();
    return driver;
  }

  // The texts of the "Plugin TARSK" lines since the last ForgetLines().
  std::vector<std::u16string> Lines() const {
    std::vector<std::u16string> texts;
    const auto lines = capture_.Lines();
    for (std::size_t i = forgotten_; i < lines.size(); ++i) {
      if (lines[i].module == u"Plugin TARSK") texts.push_back(lines[i].text);
    }
    return texts;
  }
  void ForgetLines() { forgotten_ = capture_.Lines().size(); }
  bool Logged(const std::u16string& text) const {
    const auto lines = Lines();
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }

  testing::FakeEngine engine_;
  hostsim::Services services_;
  std::shared_ptr<hostsim::RcmTable> rcm_ = std::make_shared<hostsim::RcmTable>(4, 5, 6);
  std::filesystem::path store_path_;
  logtest::LineCapture capture_;
  std::size_t forgotten_ = 0;
};

// A started driver, every level and the timing lines logged.
class TablesDriverTest : public DriverTest {
 protected:
  TablesDriverTest() { logtest::Configure("Plugin TARSK=1;=1"); }

  // The three tables from the fake's rows, published to the driver.
  void EnumerateAll() {
    ASSERT_EQ(driver_->EnumerateItemId(main_, tables_.items), kOk);
    ASSERT_EQ(driver_->EnumerateThreatLevel(main_, tables_.threats), kOk);
    ASSERT_EQ(driver_->EnumerateCompanyIdNameTable(main_, tables_.companies), kOk);
    published_.Publish(std::move(owned_));
    driver_->SetTables(&published_);
    engine_.ClearCalls();
  }
  static std::u16string Row(std::initializer_list<std::u16string_view> fields) {
    return testing::FakeEngine::Row(fields);
  }

  driver::PublishedTables published_;
  std::unique_ptr<driver::EngineTables> owned_ = std::make_unique<driver::EngineTables>();
  driver::EngineTables& tables_ = *owned_;
  std::unique_ptr<driver::CEngineTARSK> driver_ = StartedDriver();
  std::int32_t main_ = driver_->MainSession();
};

}  // namespace zevo::drivertest

#endif  // ZEVO_TESTS_UNIT_DRIVER_DRIVER_FIXTURE_H_
