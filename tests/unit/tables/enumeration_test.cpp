// The table enumerations of CEngineTARSK against the fake engine.
#include "../driver/driver_fixture.h"

namespace zevo::drivertest {
namespace {

TEST_F(TablesDriverTest, EnumerationsFillTheTablesWithTheirLogLines) {
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u""}), Row({u"3"}), Row({u"1", u"101"}), Row({u"x7", u"5"})});
  engine_.SetRows(3, {Row({u"1", u"Adware", u"d", u"c", u"70"}), Row({u"2", u"Short"})});
  engine_.SetRows(2, {Row({u"100", u"Acme", u"acme.example"}), Row({u"101", u"Acme"}), Row({u"102", u"Globex"})});
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

  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], u"==> CEngineTARSK::EnumerateItemId,");
  EXPECT_TRUE(lines[2].starts_with(u"enumerated item table... finished, performance = ")) << lines[2].size();
  EXPECT_EQ(capture_.Lines().back().file, u"tarsk_implementation");

  // One enumeration's engine calls: open, first row, rows into a buffer of
  // 2048, close; any nonzero status ends the rows, a positive one too.
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u"200"})});
  engine_.ClearCalls();
  ASSERT_EQ(driver_->EnumerateItemId(main_, tables_.items), kOk);
  const auto calls = engine_.Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].ints, (std::vector<std::int64_t>{main_, 1}));
  const std::int64_t enumeration = calls[1].ints.at(1);
  EXPECT_EQ(calls[2].ints, (std::vector<std::int64_t>{main_, enumeration, 2048}));
  EXPECT_EQ(calls[4].ints, (std::vector<std::int64_t>{main_, enumeration}));
  engine_.SetStatus("TKGetNextRow", 5);
  ASSERT_EQ(driver_->EnumerateItemId(main_, tables_.items), kOk);
  EXPECT_EQ(tables_.items.size(), 1u);
  EXPECT_EQ(engine_.OpenEnumerations(), 0u);
}

// A refused enumeration names its table; a negative enumeration handle fails
// without a failure line and closes nothing. Either leaves the table empty.
TEST_F(TablesDriverTest, RefusedEnumerationsAndANegativeHandle) {
  engine_.SetStatus("TKOpenTableSeqEnum", -5);
  engine_.SetLastError(0x4d, u"no pattern");
  tables_.items.Assign(1, 2);
  EXPECT_EQ(driver_->EnumerateItemId(main_, tables_.items), static_cast<std::int32_t>(0xe030fffbu));
  EXPECT_EQ(driver_->EnumerateThreatLevel(main_, tables_.threats), static_cast<std::int32_t>(0xe030fffbu));
  EXPECT_EQ(driver_->EnumerateCompanyIdNameTable(main_, tables_.companies), static_cast<std::int32_t>(0xe030fffbu));
  EXPECT_EQ(tables_.items.size(), 0u);
  for (const char16_t* table : {u"PRODUCTITEMS", u"THREATTYPES", u"COMPANY"}) {
    EXPECT_TRUE(Logged(u"Failed: TKOpenTableSeqEnum:(DAT_TABLEID_" + std::u16string(table) + u") 0xfffffffb"));
  }
  EXPECT_EQ(Lines()[3], u"    TARSK error: 0x4d: no pattern");
  EXPECT_EQ(capture_.Lines()[2].level, 5);  // "Failed: ..."
  engine_.SetStatus("TKOpenTableSeqEnum", 0);
  engine_.SetRows(2, {Row({u"7", u"8"})});
  ASSERT_EQ(driver_->EnumerateCompanyIdNameTable(main_, tables_.companies), kOk);
  engine_.SetEnumerationHandle(2, -3);
  engine_.ClearCalls();
  ForgetLines();
  EXPECT_EQ(driver_->EnumerateCompanyIdNameTable(main_, tables_.companies), static_cast<std::int32_t>(0xe030f82eu));
  EXPECT_EQ(Lines().size(), 4u);  // entry, timing, exit: no failure line
  EXPECT_EQ(engine_.CallNames(), std::vector<std::string>{"TKOpenTableSeqEnum"});  // nothing closed
  EXPECT_EQ(tables_.companies.size(), 0u);
  EXPECT_EQ(capture_.Lines().front().level, 2);  // the entry line
}

}  // namespace
}  // namespace zevo::drivertest
