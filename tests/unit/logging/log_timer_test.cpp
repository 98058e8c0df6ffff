#include "log/log_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "../log/log_test_support.h"

namespace zevo::logging {
namespace {

using logtest::Configure;
using logtest::LineCapture;

constexpr Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

std::string Narrow(const std::u16string& text) {
  return std::string(text.begin(), text.end());  // the texts here are ASCII
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
  std::smatch match;
  const std::string finish = Narrow(lines[1].text);
  ASSERT_TRUE(std::regex_match(
      finish, match,
      std::regex(R"(enumerated item table\.\.\. finished, performance = )"
                 R"(0x([0-9a-f]+) milliseconds\.)")))
      << finish;
  const int64_t ms = std::stoll(match[1], nullptr, 16);
  EXPECT_GE(ms, 30);
  EXPECT_LT(ms, 30000);

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
  EXPECT_TRUE(std::regex_match(
      Narrow(lines[1].text),
      std::regex(R"(scan finished, performance = (0|0x[0-9a-f]+) milliseconds\.)")));
}

}  // namespace
}  // namespace zevo::logging
