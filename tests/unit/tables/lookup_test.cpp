// CEngineTARSK table enumerations, lookups in the published tables or the
// engine's, whitelisting.
#include <algorithm>
#include <cstring>

#include "../driver/driver_fixture.h"

namespace zevo::drivertest {
namespace {

using Texts = std::vector<std::u16string>;

class TableLookupTest : public TablesDriverTest {
 protected:
  TableLookupTest() {
    engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u"999"})});
    engine_.SetRows(2, {Row({u"100", u"Acme"}), Row({u"-12", u"Initech"}), Row({u"103", u"Acme"})});
    engine_.SetRows(3, {});
    EnumerateAll();
    engine_.SetLastError(3, u"no row");
    ForgetLines();
  }
};

TEST_F(TableLookupTest, ItemFallsBackToTheEngineOnEveryMiss) {
  // Rows that reach the engine's table after start-up are read, not kept.
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u"999"}), Row({u"5", u"103", u"x"})});
  EXPECT_EQ(driver_->GetCompanyIdOfItem(main_, 1), 100);
  EXPECT_EQ(driver_->GetCompanyIdOfItem(main_, 0), 0);
  EXPECT_EQ(engine_.CountCalls("TKOpenTableLongEnum"), 0u);
  EXPECT_EQ(driver_->GetCompanyIdOfItem(main_, 5), 103);
  EXPECT_EQ(driver_->GetCompanyIdOfItem(main_, 5), 103);
  EXPECT_EQ(driver_->GetCompanyIdOfItem(main_, 6), 0);  // no row (-2000): no line of its own
  EXPECT_EQ(engine_.CountCalls("TKOpenTableLongEnum"), 3u);
  EXPECT_EQ(engine_.CallsOf("TKOpenTableLongEnum").at(0).ints, (std::vector<std::int64_t>{main_, 1, 0, 5}));
  EXPECT_EQ(engine_.CallsOf("TKGetRowById").at(0).ints.back(), 2048);
  EXPECT_EQ(engine_.OpenEnumerations(), 0u);
  EXPECT_EQ(Lines(), (Texts{u"Failed: Dat3GetRowFromTable(DAT_TABLEID_PRODUCTITEMS, DAT_FIELD_PRODUCTITEMS_ID)",
                            u"    TARSK error: 0x3: no row"}));

  driver::CEngineTARSK noTables(services_.Organizer(), testing::FakeEngine::Table());
  EXPECT_EQ(noTables.GetCompanyIdOfItem(main_, 5), 0);
  EXPECT_EQ(noTables.GetThreatLevel(1), 50);
}

TEST_F(TableLookupTest, CompanyNameFromTheTableTheEngineOrNothing) {
  engine_.SetRows(2, {Row({u"100", u"Acme"}), Row({u"104", u"Hooli", u"hooli.example"}), Row({u"999", u"Late"})});
  std::u16string name = u"stale";
  driver_->GetCompanyName(name, main_, 103);
  EXPECT_EQ(name, u"Acme");
  driver_->GetCompanyName(name, main_, 104);
  EXPECT_EQ(name, u"Hooli");
  driver_->GetCompanyName(name, main_, 105);
  EXPECT_EQ(name, u"");
  name = u"stale";
  driver_->GetCompanyName(name, main_, 0);
  EXPECT_EQ(name, u"");
  EXPECT_EQ(Lines(), (Texts{u"Failed: Dat3GetRowFromTable(DAT_TABLEID_COMPANY, DAT_FIELD_COMPANY_ID)",
                            u"    TARSK error: 0x3: no row"}));  // none for id 0

  // Custom-range items (both ends included) carry their own company text.
  TKC_ITEM item = {};
  std::memcpy(item.companyText, u"Own Co", sizeof(u"Own Co"));
  for (std::int32_t id : {0x6e000000, 0x6f000000}) {
    item.itemId = id;
    driver_->GetCompanyNameOfItem(main_, item, name);
    EXPECT_EQ(name, u"Own Co");
  }
  item.itemId = 1;
  // An item's description names its company the same way, when asked to.
  EXPECT_EQ(driver_->DescribeItem(main_, item, nullptr), 50);
  item.itemId = 2;  // its company 999 is in the engine's table only
  EXPECT_EQ(driver_->DescribeItem(main_, item, &name), 50);
  EXPECT_EQ(name, u"Late");
}

TEST_F(TableLookupTest, WhitelistRecordAndCodesByName) {
  std::vector<std::int32_t> ids = {7, 7, 7, 7, 7};
  driver_->GetCompanyIdsByNames(main_, {u"Initech", u"Nobody", u"", u"Acme"}, ids);
  EXPECT_EQ(ids, (std::vector<std::int32_t>{-12, -1, -1, 100}));

  ASSERT_EQ(driver_->AddWhitelistItem(main_, u"Initech"), kOk);
  ASSERT_EQ(driver_->AddWhitelistItem(main_, u"Acme"), kOk);
  const std::vector<testing::FakeEngine::WhitelistEntry> list = engine_.Whitelist();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].handle, main_);
  for (std::size_t i = 0; i < 2; ++i) {
    const TKC_WHITELIST_ITEM& record = list[i].record;
    EXPECT_EQ(record.size, 4616u);
    EXPECT_EQ(record.kind, 5u);
    EXPECT_EQ(std::u16string(record.text), i == 0 ? u"-12" : u"100");
    EXPECT_TRUE(std::all_of(record.text + 4, std::end(record.text), [](char16_t c) { return c == 0; }));
    EXPECT_TRUE(std::all_of(std::begin(record.reserved), std::end(record.reserved), [](auto b) { return b == 0; }));
  }
  EXPECT_EQ(driver_->AddWhitelistItem(main_, u"Nobody"), kArgumentMissing);
  engine_.SetStatus("TKAddWhitelistItem", -1);
  EXPECT_EQ(driver_->AddWhitelistItem(main_, u"Acme"), static_cast<std::int32_t>(0xe030ffffu));
  EXPECT_EQ(Lines().at(1), u"Failed: GetCompanyIdByName( name = Nobody )");
  EXPECT_EQ(Lines().at(2), u"Failed: TKAddWhitelistItem: name=Acme, id=100, ret=0xffffffff");
  EXPECT_EQ(engine_.Whitelist().size(), 2u);
}

TEST_F(TablesDriverTest, EnumerationsFillTheTablesWithTheirLogLines) {
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u""}), Row({u"3"}), Row({u"1", u"101"}), Row({u"x7", u"5"})});
  engine_.SetRows(3, {Row({u"1", u"Adware", u"d", u"c", u"70"}), Row({u"2", u"Short"})});
  EnumerateAll();

  EXPECT_EQ(tables_.items.Find(1), 101);  // a later row overwrites
  EXPECT_EQ(tables_.items.Find(2), 0);    // empty company field
  EXPECT_EQ(tables_.items.Find(3), 0);    // no company field
  EXPECT_EQ(tables_.items.Find(0), 5);    // non-numeric id reads as 0
  EXPECT_EQ(driver_->GetThreatLevel(1), 70);
  EXPECT_EQ(driver_->GetThreatLevel(2), 0);  // fewer than five fields
  EXPECT_EQ(driver_->GetThreatLevel(3), 50);

  EXPECT_TRUE(Lines().at(2).starts_with(u"enumerated item table... finished, performance = "));
  EXPECT_EQ(capture_.Lines().back().file, u"tarsk_implementation");

  // Any nonzero status ends the rows, a positive one too; the enumeration is
  // closed. (The reference engine's tables reach the module in Lifecycle.)
  engine_.SetRows(1, {Row({u"1", u"100"}), Row({u"2", u"200"})});
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
}

}  // namespace
}  // namespace zevo::drivertest
