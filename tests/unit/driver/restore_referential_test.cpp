// CEngineTARSK restores and referential scans against the fake engine.
#include "clean_fixture.h"

namespace zevo::drivertest {
namespace {

using CallList = std::vector<std::string>;
using Texts = std::vector<std::u16string>;
using Ints = std::vector<std::int64_t>;

const std::u16string kSep(1, os::kPathSeparator);

using RestoreTest = CleanTest;
using ReferentialTest = CleanTest;

TEST_F(RestoreTest, TheFolderGoesToOptionFourteenAndTheNameToTheEngineRefusalsMapped) {
  const std::u16string path = u"C:" + kSep + u"backups" + kSep + u"A_1.tkb";
  EXPECT_EQ(driver_->SpywareRestore(session_, path), kOk);
  EXPECT_EQ(driver_->SpywareRestore(session_, u"top" + kSep), kOk);  // ends with it: an empty name
  EXPECT_EQ(driver_->SpywareRestore(session_, u"A_1.tkb"), kOk);     // none: the whole text
  const auto texts = [this](std::string_view call) {
    Texts all;
    for (const auto& c : engine_.CallsOf(call)) all.insert(all.end(), c.texts.begin(), c.texts.end());
    return all;
  };
  EXPECT_EQ(texts("TKSetOption"), (Texts{u"C:" + kSep + u"backups", u"top", u""}));
  EXPECT_EQ(texts("TKRestore"), (Texts{u"A_1.tkb", u"", u"A_1.tkb"}));
  EXPECT_EQ(engine_.CallsOf("TKSetOption")[0].ints, (Ints{session_, kOptionBackupPath}));
  EXPECT_EQ(engine_.CallsOf("TKRestore")[0].ints, Ints{session_});
  EXPECT_EQ(Lines()[5], u"input wrong path format, no backslash is found");

  engine_.SetLastError(9, u"bad");
  engine_.SetStatus("TKSetOption", -1);
  EXPECT_EQ(driver_->SpywareRestore(session_, path), MapEngineStatus(-1));
  EXPECT_EQ(engine_.CountCalls("TKRestore"), 3u);
  engine_.SetStatus("TKSetOption", 0);
  engine_.SetStatus("TKRestore", -9);
  EXPECT_EQ(driver_->SpywareRestore(session_, path), MapEngineStatus(-9));
  EXPECT_TRUE(Logged(u"Failed: TKSetOption BackupPath: 0xffffffff"));
  EXPECT_TRUE(Logged(u"Failed: SpywareRestore: 0xfffffff7"));
}

TEST_F(ReferentialTest, ItemsGoToTheEngineAndWarningsAreSuccesses) {
  ZEVO_ReferentialItem item{};
  std::u16string_view first = u"C:\\data", second = u"*.exe", third = u"note";
  std::copy(first.begin(), first.end(), item.first);
  std::copy(second.begin(), second.end(), item.second);
  std::copy(third.begin(), third.end(), item.third);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), kOk);
  const auto calls = engine_.CallsOf("TKAddReferentialScanItem");
  EXPECT_EQ(calls.at(0).ints, (Ints{session_, 0}));
  EXPECT_EQ(calls[0].texts, (Texts{u"C:\\data", u"*.exe", u"note"}));

  engine_.SetLastError(1, u"x");
  engine_.SetStatus("TKAddReferentialScanItem", -100);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), static_cast<std::int32_t>(0x2030ff9cu));
  engine_.SetStatus("TKAddReferentialScanItem", -101);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), static_cast<std::int32_t>(0x2030ff9bu));
  EXPECT_EQ(engine_.CountCalls("TKGetLastError"), 0u);  // warnings ask for no error
  engine_.SetStatus("TKAddReferentialScanItem", -102);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), static_cast<std::int32_t>(0xe030ff9au));
  EXPECT_EQ(Lines().back(), u"    TARSK error: 0x1: x");

  // A host text without its terminator ends inside its field.
  std::fill(std::begin(item.third), std::end(item.third), u'n');
  engine_.SetStatus("TKAddReferentialScanItem", 0);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), kOk);
  EXPECT_EQ(engine_.CallsOf("TKAddReferentialScanItem").back().texts[2], std::u16string(kItemTextChars - 1, u'n'));
}

TEST_F(ReferentialTest, ScanThenCleanLikeAfterAScan) {
  // No items: nothing prepared, nothing scanned.
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, true, true, BackupFolder(), {}), kOk);
  EXPECT_EQ(engine_.CallNames(), CallList{"TKGetItemCount"});

  engine_.SetItems({MakeItem(kCustomId, 17, u"d", u"a.exe", u"A"), MakeItem(kCustomId, 10, u"d", u"b.exe", u"B")});
  engine_.ClearCalls();
  EXPECT_EQ(driver_->StartReferentialScan(session_, false, false, true, BackupFolder(), {}), kOk);
  EXPECT_EQ(engine_.CallNames().back(), "TKScanRelatedReferences");
  EXPECT_EQ(engine_.CallsOf("TKScanRelatedReferences")[0].texts, Texts{u""});
  EXPECT_EQ(engine_.Items().size(), 2u);

  // With a clean flag: backup and cleanup follow.
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, false, true, BackupFolder(), {}), kOk);
  EXPECT_EQ(engine_.Backups().size(), 2u);
  EXPECT_EQ(engine_.Cleans().size(), 1u);
  EXPECT_TRUE(engine_.Items().empty());

  // A failed referential scan cleans nothing.
  engine_.SetItems({MakeItem(kCustomId, 17, u"d", u"a.exe", u"A")});
  engine_.SetStatus("TKScanRelatedReferences", -4);
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, true, false, u"", {}), MapEngineStatus(-4));
  EXPECT_EQ(engine_.Cleans().size(), 1u);
  EXPECT_EQ(engine_.Items().size(), 1u);
}

}  // namespace
}  // namespace zevo::drivertest
