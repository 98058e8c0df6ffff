// CEngineTARSK lookups in the published tables or the engine's, whitelisting.
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
                            u"    TARSK error: 0x3: no row"}));

  // Custom-range items (both ends included) carry their own company text.
  TKC_ITEM item = {};
  std::memcpy(item.companyText, u"Own Co", sizeof(u"Own Co"));
  for (std::int32_t id : {0x6e000000, 0x6f000000}) {
    item.itemId = id;
    driver_->GetCompanyNameOfItem(main_, item, name);
    EXPECT_EQ(name, u"Own Co");
  }
  item.itemId = 1;
  driver_->GetCompanyNameOfItem(main_, item, name);
  EXPECT_EQ(name, u"Acme");
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
  EXPECT_EQ(Lines(),
            (Texts{u"Failed: GetCompanyIdByName( name = Nobody )", u"Failed: GetCompanyIdByName( name = Nobody )",
                   u"Failed: TKAddWhitelistItem: name=Acme, id=100, ret=0xffffffff", u"    TARSK error: 0x3: no row"}));
  EXPECT_EQ(engine_.Whitelist().size(), 2u);
}

}  // namespace
}  // namespace zevo::drivertest
