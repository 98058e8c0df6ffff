#include <gtest/gtest.h>

#include <utility>

#include "log_test_support.h"
#include "zevo/log.h"

namespace zevo::logtest {
namespace {

int32_t LevelOf(const char16_t* module) { return Log_GetLogLevel(Log_GetDefaultHandle(), module); }

TEST(LogConfig, HandleAndNullArguments) {
  Configure("Plugin TARSK=2");
  void* handle = Log_GetDefaultHandle();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(Log_GetLogLevel(handle, u"Plugin TARSK"), 2);
  EXPECT_EQ(Log_GetLogLevel(nullptr, u"Plugin TARSK"), 0);
  int not_a_handle = 0;
  EXPECT_EQ(Log_GetLogLevel(&not_a_handle, u"Plugin TARSK"), 0);
  EXPECT_EQ(Log_GetLogLevel(handle, nullptr), 0);

  LineCapture capture;
  const char16_t text[] = u"abc";
  Log_Flush(nullptr, u"Plugin TARSK", 2, u"f", 1, text, 6);
  Log_Flush(&not_a_handle, u"Plugin TARSK", 2, u"f", 1, text, 6);
  Log_Flush(handle, nullptr, 2, u"f", 1, text, 6);
  Log_Flush(handle, u"Plugin TARSK", 2, u"f", 1, nullptr, 6);
  EXPECT_TRUE(capture.Lines().empty());
}

TEST(LogConfig, LevelsPerModuleIncludingTheEmptyName) {
  Configure("Plugin TARSK=2;Util COMMON=5;=1");
  EXPECT_EQ(LevelOf(u"Plugin TARSK"), 2);
  EXPECT_EQ(LevelOf(u"Util COMMON"), 5);
  EXPECT_EQ(LevelOf(u""), 1);
  EXPECT_EQ(LevelOf(u"Core Scan Manager"), 0);
  EXPECT_EQ(LevelOf(u"plugin tarsk"), 0);  // names are case-sensitive
  EXPECT_EQ(LevelOf(u"Plugin"), 0);

  // The environment is read once; a change counts only after Log_Reload.
  SetEnv("ZEVO_LOG", "Plugin TARSK=3");
  EXPECT_EQ(LevelOf(u"Plugin TARSK"), 2);
  Log_Reload();
  EXPECT_EQ(LevelOf(u"Plugin TARSK"), 3);
  EXPECT_EQ(LevelOf(u""), 0);

  Configure(nullptr);
  EXPECT_EQ(LevelOf(u"Plugin TARSK"), 0);
  EXPECT_EQ(LevelOf(u""), 0);
}

TEST(LogConfig, MalformedEntriesAreIgnored) {
  Configure(
      "NoEquals;A=;B=x;C=-1;D=2147483648;E=1x;;  Padded Name   =  4   ;"
      "Twice=2;Twice=6;Ten=10;Max=2147483647;Modul \xc3\xa4=4;Last=3");
  const std::pair<const char16_t*, int32_t> levels[] = {
      {u"NoEquals", 0}, {u"A", 0},           {u"B", 0},    {u"C", 0},           {u"D", 0},
      {u"E", 0},        {u"Twice", 6},       {u"Ten", 10}, {u"Padded Name", 4}, {u"Max", 2147483647},
      {u"Last", 3},     {u"Modul \u00e4", 4}};
  for (const auto& [module, level] : levels) EXPECT_EQ(LevelOf(module), level) << level;
  EXPECT_EQ(LevelOf(u""), 0);  // nothing above names the empty module
}

}  // namespace
}  // namespace zevo::logtest
