#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver_fixture.h"

namespace zevo::driver {
namespace {

using Fake = testing::FakeEngine;

TEST_F(TablesDriverTest, EnumerationsFillTheTablesWithTheirLogLines) {
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u""}), Row({u"3"}), Row({u"1", u"101"}), Row({u"x7", u"5"})});
  engine_.SetRows(3, {Row({u"1", u"Adware", u"d", u"c", u"70"}), Row({u"2", u"Short"})});
  engine_.SetRows(2, {Row({u"100", u"Acme", u"acme.example"}), Row({u"101", u"Acme"}), Row({u"102", u"Globex"})});
  logtest::LineCapture capture;
  EnumerateAll();

  EXPECT_EQ(tables_.items.Find(1), 101);  // a later row overwrites
  EXPECT_EQ(tables_.items.Find(2), 0);    // empty company field
  EXPECT_EQ(tables_.items.Find(3), 0);    // no company field
  EXPECT_EQ(tables_.items.Find(0), 5);    // non-numeric id reads as 0
  EXPECT_EQ(driver_->GetThreatLevel(1), 70);
  EXPECT_EQ(driver_->GetThreatLevel(2), 0);  // fewer than five fields
  EXPECT_EQ(driver_->GetThreatLevel(3), 50);
  EXPECT_EQ(driver_->GetCompanyIdByName(main_, u"Acme"), 100);
  std::u16string name;
  driver_->GetCompanyName(name, main_, 101);
  EXPECT_EQ(name, u"Acme");

  const std::vector<LogLine> lines = Lines(capture);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], (LogLine{2, u"==> CEngineTARSK::EnumerateItemId,"}));
  EXPECT_EQ(lines[2], (LogLine{1, u"enumerated item table... finished, performance = N milliseconds."}));
  EXPECT_EQ(lines[9], (LogLine{1, u"enumerated company table... start"}));
  EXPECT_EQ(capture.Lines().back().file, u"tarsk_implementation");
}

TEST_F(TablesDriverTest, EngineCallsOfOneEnumeration) {
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u"200"})});
  ASSERT_EQ(driver_->EnumerateItemId(main_, tables_.items), kOk);
  const std::vector<Fake::Call> calls = engine_.Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].ints, (std::vector<std::int64_t>{main_, 1}));
  const std::int64_t enumeration = calls[1].ints.at(1);
  EXPECT_EQ(calls[2].ints, (std::vector<std::int64_t>{main_, enumeration, 2048}));
  EXPECT_EQ(calls[4].ints, (std::vector<std::int64_t>{main_, enumeration}));
  EXPECT_EQ(engine_.OpenEnumerations(), 0u);

  // Any nonzero status ends the rows, a positive one too.
  engine_.SetStatus("TKGetNextRow", 5);
  ASSERT_EQ(driver_->EnumerateItemId(main_, tables_.items), kOk);
  EXPECT_EQ(tables_.items.size(), 1u);
  EXPECT_EQ(engine_.OpenEnumerations(), 0u);
}

TEST_F(TablesDriverTest, FailedAndNegativeEnumerations) {
  const struct {
    std::int32_t table;
    const char16_t* failure;
  } cases[] = {
      {1, u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_PRODUCTITEMS) 0xfffffffb"},
      {3, u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_THREATTYPES) 0xfffffffb"},
      {2, u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_COMPANY) 0xfffffffb"},
  };
  const auto enumerate = [this](std::int32_t table) {
    switch (table) {
      case 1:
        return driver_->EnumerateItemId(main_, tables_.items);
      case 3:
        return driver_->EnumerateThreatLevel(main_, tables_.threats);
      default:
        return driver_->EnumerateCompanyIdNameTable(main_, tables_.companies);
    }
  };
  engine_.SetLastError(0x4d, u"no pattern");
  for (const auto& c : cases) {
    engine_.SetRows(c.table, {Row({u"7", u"8", u"9", u"10", u"11"})});
    ASSERT_EQ(enumerate(c.table), kOk);

    engine_.SetStatus("TKOpenTableSeqEnum", -5);
    {
      logtest::LineCapture capture;
      EXPECT_EQ(enumerate(c.table), static_cast<std::int32_t>(0xe030fffbu));
      const std::vector<LogLine> lines = Lines(capture);
      ASSERT_EQ(lines.size(), 6u);
      EXPECT_EQ(lines[2], (LogLine{5, c.failure}));
      EXPECT_EQ(lines[3], (LogLine{5, u"    TARSK error: 0x4d: no pattern"}));
    }
    EXPECT_EQ(tables_.items.size() + tables_.threats.size() + tables_.companies.size(), 0u);
    engine_.SetStatus("TKOpenTableSeqEnum", 0);

    ASSERT_EQ(enumerate(c.table), kOk);
    engine_.SetEnumerationHandle(c.table, -3);
    engine_.ClearCalls();
    {
      logtest::LineCapture capture;
      EXPECT_EQ(enumerate(c.table), static_cast<std::int32_t>(0xe030f82eu));
      EXPECT_EQ(Lines(capture).size(), 4u);  // entry, timing, exit: no failure line
    }
    EXPECT_EQ(engine_.CallNames(), std::vector<std::string>{"TKOpenTableSeqEnum"});  // nothing closed
    EXPECT_EQ(tables_.items.size() + tables_.threats.size() + tables_.companies.size(), 0u);
    engine_.ClearEnumerationHandle(c.table);
  }
}

}  // namespace
}  // namespace zevo::driver
