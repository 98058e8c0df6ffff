// The fake engine the driver suites run against: complete table, sessions,
// statuses and table enumeration as its header promises.
#include "fake_engine.h"

#include <gtest/gtest.h>

namespace zevo::testing {
namespace {

TEST(FakeEngineTest, TableIsCompleteAndForwardsToTheCurrentFake) {
  const auto& table = FakeEngine::Table();
  const void* const* slots = reinterpret_cast<const void* const*>(&table);
  for (std::size_t i = 0; i < kTkFunctionCount; ++i) EXPECT_NE(slots[i], nullptr) << i;

  std::int32_t h = 0;
  EXPECT_EQ(table.TKInit(u"x", 6, &h), FakeEngine::kNoFakeInstalled);
  {
    FakeEngine engine;
    engine.SetNextSession(7);
    ASSERT_EQ(table.TKInit(u"caller", 6, &h), 0);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(table.TKReadSpywarePattern(7, 0, 0, 0), 0);
    EXPECT_EQ(engine.PatternSource(7), 0);
    engine.SetStatus("TKQuit", -5);
    EXPECT_EQ(table.TKQuit(7), -5);
    EXPECT_TRUE(engine.IsOpen(7));
    engine.SetStatus("TKQuit", 0);
    EXPECT_EQ(table.TKQuit(7), 0);
    EXPECT_EQ(table.TKQuit(7), -2);
    EXPECT_TRUE(engine.OpenSessions().empty());
    const auto init = engine.CallsOf("TKInit");
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].texts, std::vector<std::u16string>{u"caller"});
    EXPECT_EQ(init[0].ints, std::vector<std::int64_t>{6});
    EXPECT_EQ(engine.CountCalls("TKQuit"), 3u);
  }
  EXPECT_EQ(table.TKQuit(1), FakeEngine::kNoFakeInstalled);

  FakeEngine outer;
  {
    FakeEngine inner;
    table.TKStopScan(3);
    EXPECT_EQ(inner.CountCalls("TKStopScan"), 1u);
  }
  table.TKStopScan(3);
  EXPECT_EQ(outer.CallsOf("TKStopScan").at(0).ints, std::vector<std::int64_t>{3});
}

TEST(FakeEngineTest, EnumeratesRowsAndKeyedRows) {
  FakeEngine engine;
  const auto& tk = FakeEngine::Table();
  engine.SetRows(kTableCompany, {FakeEngine::Row({u"5", u"Acme"}), FakeEngine::Row({u"9", u"Zed"})});
  std::int32_t e = 0;
  char16_t row[kRowCapacity];
  ASSERT_EQ(tk.TKOpenTableSeqEnum(1, kTableCompany, &e), 0);
  ASSERT_EQ(tk.TKGetFirstRow(1, e, row, kRowCapacity), 0);
  EXPECT_EQ(std::u16string(row), u"5\x7f" u"Acme");
  ASSERT_EQ(tk.TKGetNextRow(1, e, row, kRowCapacity), 0);
  EXPECT_EQ(tk.TKGetNextRow(1, e, row, kRowCapacity), FakeEngine::kNoMoreRows);
  EXPECT_EQ(engine.OpenEnumerations(), 1u);
  EXPECT_EQ(tk.TKCloseHandle(1, e), 0);

  ASSERT_EQ(tk.TKOpenTableLongEnum(1, kTableCompany, kFieldId, 9, &e), 0);
  ASSERT_EQ(tk.TKGetRowById(1, e, row, kRowCapacity), 0);
  EXPECT_EQ(std::u16string(row), u"9\x7fZed");
  EXPECT_EQ(tk.TKCloseHandle(1, e), 0);
  ASSERT_EQ(tk.TKOpenTableLongEnum(1, kTableCompany, kFieldId, 4, &e), 0);
  EXPECT_EQ(tk.TKGetRowById(1, e, row, kRowCapacity), kNoRow);
  EXPECT_EQ(tk.TKCloseHandle(1, e), 0);
  EXPECT_EQ(engine.OpenEnumerations(), 0u);

  engine.SetEnumerationHandle(kTableCompany, -3);
  ASSERT_EQ(tk.TKOpenTableSeqEnum(1, kTableCompany, &e), 0);
  EXPECT_EQ(e, -3);
}

}  // namespace
}  // namespace zevo::testing
