#include "log/log_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>
#include <string>
#include <thread>
#include <vector>

#include "../log/log_test_support.h"
#include "log/log_text.h"

namespace zevo::logging {
namespace {

using logtest::Configure;
using logtest::LineCapture;

constexpr Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// The milliseconds of a finish line: `prefix` + hex number + " milliseconds."
std::optional<int64_t> Milliseconds(std::u16string_view text,
                                    std::u16string_view prefix) {
  constexpr std::u16string_view kSuffix = u" milliseconds.";
  if (!text.starts_with(prefix) || !text.ends_with(kSuffix)) return {};
  text = text.substr(prefix.size(), text.size() - prefix.size() - kSuffix.size());
  if (text == u"0") return 0;
  if (!text.starts_with(u"0x") || text.size() == 2) return {};
  int64_t value = 0;
  for (char16_t c : text.substr(2)) {
    const bool digit = c >= u'0' && c <= u'9';
    if (!digit && !(c >= u'a' && c <= u'f')) return {};
    value = value * 16 + (digit ? c - u'0' : c - u'a' + 10);
  }
  return Concat(value) == text ? std::optional<int64_t>(value) : std::nullopt;
}

void TimedWork() {
  ScopedTimer timer(kLog, __LINE__, u"enumerated item table... start",
                    u"enumerated item table... finished, performance = ");
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

TEST(LogTimer, LinesOnlyWhenTheEmptyModuleIsExactlyOne) {
  LineCapture capture;
  Configure("Plugin TARSK=1;=1");
  EXPECT_TRUE(TimingEnabled());
  TimedWork();
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, u"enumerated item table... start");
  EXPECT_EQ(lines[0].level, kLevelTiming);
  EXPECT_EQ(lines[1].level, kLevelTiming);
  EXPECT_EQ(lines[1].module, u"Plugin TARSK");
  const std::optional<int64_t> ms = Milliseconds(
      lines[1].text, u"enumerated item table... finished, performance = ");
  ASSERT_TRUE(ms.has_value());
  EXPECT_GE(*ms, 30);
  EXPECT_LT(*ms, 30000);

  // Level 2 for the empty name (or none at all) turns timing off, as does
  // a module level that hides level 1 lines.
  for (const char* levels : {"Plugin TARSK=1;=2", "Plugin TARSK=1",
                             "Plugin TARSK=1;=0", "Plugin TARSK=2;=1"}) {
    Configure(levels);
    TimedWork();
    EXPECT_EQ(capture.Lines().size(), 2u) << levels;
  }
  Configure("Plugin TARSK=1;=2");
  EXPECT_FALSE(TimingEnabled());
}

TEST(LogTimer, ExplicitFinishLogsOnce) {
  LineCapture capture;
  Configure("Plugin TARSK=1;=1");
  int finish_line = 0;
  {
    ScopedTimer timer(kLog, __LINE__, u"scan start",
                      u"scan finished, performance = ");
    finish_line = __LINE__ + 1;
    timer.Finish(finish_line);
    timer.Finish(finish_line);
  }
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].line, finish_line);
  EXPECT_TRUE(
      Milliseconds(lines[1].text, u"scan finished, performance = ").has_value());
}

}  // namespace
}  // namespace zevo::logging
