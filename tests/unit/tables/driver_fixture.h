// A driver on the in-process fake engine, started as the plug-in starts it,
// and the log lines it writes.
#ifndef ZEVO_TESTS_UNIT_TABLES_DRIVER_FIXTURE_H_
#define ZEVO_TESTS_UNIT_TABLES_DRIVER_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../log/log_test_support.h"
#include "driver/engine_tarsk.h"
#include "fake_engine.h"
#include "os/path.h"
#include "sim/services.h"
#include "zevo/result.h"

namespace zevo::driver {

struct LogLine {
  std::int32_t level;
  std::u16string text;
  bool operator==(const LogLine&) const = default;
};

inline void PrintTo(const LogLine& line, std::ostream* out) {
  *out << line.level << " \"";
  for (char16_t c : line.text) *out << (c < 0x80 ? static_cast<char>(c) : '?');
  *out << '"';
}

class TablesDriverTest : public ::testing::Test {
 protected:
  TablesDriverTest() {
    logtest::Configure("Plugin TARSK=1;=1");  // every level, timing on
    services_.SetModulePath(std::u16string(u"engines") + os::kPathSeparator + u"plugEngineTARSK.dll");
    driver_ = std::make_unique<CEngineTARSK>(services_.Organizer(), testing::FakeEngine::Table());
    EXPECT_EQ(driver_->Initialize(), kOk);
    const std::int32_t* main = nullptr;
    EXPECT_EQ(driver_->InitMainSession(&main), kOk);
    main_ = driver_->MainSession();
    engine_.ClearCalls();
  }
  ~TablesDriverTest() override { logtest::Configure(nullptr); }

  // The module's lines since `capture` began; the milliseconds of timing
  // lines read "N".
  static std::vector<LogLine> Lines(const logtest::LineCapture& capture) {
    constexpr std::u16string_view kPerformance = u"performance = ";
    std::vector<LogLine> lines;
    for (const logtest::CapturedLine& line : capture.Lines()) {
      if (line.module != u"Plugin TARSK") continue;
      std::u16string text = line.text;
      const std::size_t at = text.find(kPerformance);
      const std::size_t end = text.find(u" milliseconds.");
      if (at != std::u16string::npos && end != std::u16string::npos) {
        text = text.substr(0, at + kPerformance.size()) + u'N' + text.substr(end);
      }
      lines.push_back({line.level, text});
    }
    return lines;
  }

  // Fills the three tables from the fake's rows, publishes them and points
  // the driver at them. tables_ stays readable (the published set).
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

  testing::FakeEngine engine_;  // first in, last out: the driver calls it until destroyed
  hostsim::Services services_;
  PublishedTables published_;
  std::unique_ptr<EngineTables> owned_ = std::make_unique<EngineTables>();
  EngineTables& tables_ = *owned_;
  std::unique_ptr<CEngineTARSK> driver_;
  std::int32_t main_ = 0;
};

}  // namespace zevo::driver

#endif  // ZEVO_TESTS_UNIT_TABLES_DRIVER_FIXTURE_H_
