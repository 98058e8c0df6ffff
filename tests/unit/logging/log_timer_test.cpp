#include "log/log_timer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "../log/log_test_support.h"

namespace zevo::logging {
namespace {

using logtest::Configure;
using logtest::LineCapture;

constexpr Site kLog{u"Plugin TARSK", u"tarsk_implementation"};
constexpr std::u16string_view kFinish = u"scan finished, performance = ";

// A finish line: kFinish, the milliseconds as the log writes numbers, " milliseconds.".
bool IsFinishLine(std::u16string_view text) { return text.starts_with(kFinish) && text.ends_with(u" milliseconds."); }

// Two lines at the timing level when the empty module is exactly 1; the
// finish line once, with the line it was given, or from the destructor.
TEST(LogTimer, LinesOnlyWhenTheEmptyModuleIsExactlyOne) {
  LineCapture capture;
  for (const char* levels :
       {"Plugin TARSK=1;=2", "Plugin TARSK=1", "Plugin TARSK=1;=0", "Plugin TARSK=2;=1", "Plugin TARSK=1;=1"}) {
    Configure(levels);
    ScopedTimer timer(kLog, __LINE__, u"scan start", kFinish);
    timer.Finish(7);
    timer.Finish(8);
  }
  EXPECT_TRUE(TimingEnabled());
  { ScopedTimer timer(kLog, 3, u"scan start", kFinish); }
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, u"scan start");
  EXPECT_EQ(lines[0].level, kLevelTiming);
  EXPECT_EQ(lines[1].module, u"Plugin TARSK");
  EXPECT_EQ(lines[1].line, 7);
  EXPECT_TRUE(IsFinishLine(lines[1].text)) << std::string(lines[1].text.begin(), lines[1].text.end());
  EXPECT_EQ(lines[3].line, 3);
  EXPECT_TRUE(IsFinishLine(lines[3].text));
  Configure("Plugin TARSK=1;=2");
  EXPECT_FALSE(TimingEnabled());
}

}  // namespace
}  // namespace zevo::logging
