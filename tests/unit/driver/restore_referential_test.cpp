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

TEST_F(RestoreTest, TheFolderGoesToOptionFourteenAndTheNameToTheEngine) {
  const std::u16string path = u"C:" + kSep + u"backups" + kSep + u"A_1.tkb";
  EXPECT_EQ(driver_->SpywareRestore(session_, path), kOk);
  EXPECT_EQ(driver_->SpywareRestore(session_, u"top" + kSep), kOk);  // ends with it: an empty name
  EXPECT_EQ(driver_->SpywareRestore(session_, u"A_1.tkb"), kOk);     // none: the whole text
  const auto options = engine_.CallsOf("TKSetOption");
  ASSERT_EQ(options.size(), 3u);
  EXPECT_EQ(options[0].ints, (Ints{session_, kOptionBackupPath}));
  EXPECT_EQ(options[0].texts, Texts{u"C:" + kSep + u"backups"});
  EXPECT_EQ(options[1].texts, Texts{u"top"});
  EXPECT_EQ(options[2].texts, Texts{u""});
  const auto restores = engine_.CallsOf("TKRestore");
  ASSERT_EQ(restores.size(), 3u);
  EXPECT_EQ(restores[0].ints, Ints{session_});
  EXPECT_EQ(restores[0].texts, Texts{u"A_1.tkb"});
  EXPECT_EQ(restores[1].texts, Texts{u""});
  EXPECT_EQ(restores[2].texts, Texts{u"A_1.tkb"});
  EXPECT_EQ(Lines(), (Texts{u"==> CEngineTARSK::SpywareRestore,tkc = 0x2, wstrRestoreFile = " + path,
                            u"<== CEngineTARSK::SpywareRestore,",
                            u"==> CEngineTARSK::SpywareRestore,tkc = 0x2, wstrRestoreFile = top" + kSep,
                            u"<== CEngineTARSK::SpywareRestore,",
                            u"==> CEngineTARSK::SpywareRestore,tkc = 0x2, wstrRestoreFile = A_1.tkb",
                            u"input wrong path format, no backslash is found", u"<== CEngineTARSK::SpywareRestore,"}));
}

TEST_F(RestoreTest, RefusalsAreMappedAndTimed) {
  logtest::Configure("Plugin TARSK=1;=1");
  engine_.SetLastError(9, u"bad");
  engine_.SetStatus("TKSetOption", -1);
  EXPECT_EQ(driver_->SpywareRestore(session_, u"d" + kSep + u"f.tkb"), MapEngineStatus(-1));
  EXPECT_EQ(engine_.CountCalls("TKRestore"), 0u);
  engine_.SetStatus("TKSetOption", 0);
  engine_.SetStatus("TKRestore", -9);
  EXPECT_EQ(driver_->SpywareRestore(session_, u"d" + kSep + u"f.tkb"), MapEngineStatus(-9));
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[1], u"restore start");
  EXPECT_EQ(lines[2], u"Failed: TKSetOption BackupPath: 0xffffffff");
  EXPECT_EQ(lines[3], u"    TARSK error: 0x9: bad");
  EXPECT_TRUE(lines[4].starts_with(u"restore finished, performance = "));
  EXPECT_EQ(lines[8], u"Failed: SpywareRestore: 0xfffffff7");
  EXPECT_EQ(lines[9], u"    TARSK error: 0x9: bad");
}

TEST_F(ReferentialTest, ItemsGoToTheEngineAndWarningsAreSuccesses) {
  ZEVO_ReferentialItem item{};
  std::u16string_view first = u"C:\\data", second = u"*.exe", third = u"note";
  std::copy(first.begin(), first.end(), item.first);
  std::copy(second.begin(), second.end(), item.second);
  std::copy(third.begin(), third.end(), item.third);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), kOk);
  auto calls = engine_.CallsOf("TKAddReferentialScanItem");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].ints, (Ints{session_, 0}));
  EXPECT_EQ(calls[0].texts, (Texts{u"C:\\data", u"*.exe", u"note"}));

  engine_.SetLastError(1, u"x");
  engine_.SetStatus("TKAddReferentialScanItem", -100);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), static_cast<std::int32_t>(0x2030ff9cu));
  engine_.SetStatus("TKAddReferentialScanItem", -101);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), static_cast<std::int32_t>(0x2030ff9bu));
  EXPECT_EQ(engine_.CountCalls("TKGetLastError"), 0u);  // warnings ask for no error
  engine_.SetStatus("TKAddReferentialScanItem", -102);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), static_cast<std::int32_t>(0xe030ff9au));
  EXPECT_EQ(Lines(), (Texts{u"Failed: TKAddReferentialScanItem: 0xffffff9c",
                            u"Failed: TKAddReferentialScanItem: 0xffffff9b",
                            u"Failed: TKAddReferentialScanItem: 0xffffff9a", u"    TARSK error: 0x1: x"}));

  // A host text without its terminator ends inside its field.
  std::fill(std::begin(item.third), std::end(item.third), u'n');
  engine_.SetStatus("TKAddReferentialScanItem", 0);
  EXPECT_EQ(driver_->AddReferentialScanItem(session_, item), kOk);
  calls = engine_.CallsOf("TKAddReferentialScanItem");
  EXPECT_EQ(calls.back().texts[2], std::u16string(kItemTextChars - 1, u'n'));
}

TEST_F(ReferentialTest, ScanThenCleanLikeAfterAScan) {
  // No items: nothing prepared, nothing scanned.
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, true, true, BackupFolder(), {}), kOk);
  EXPECT_EQ(engine_.CallNames(), CallList{"TKGetItemCount"});
  EXPECT_EQ(Lines(), (Texts{u"==> CEngineTARSK::StartReferentialScan,tkc = 0x2, bDoSpywareClean = true, "
                            u"bDoCookieClean = true",
                            u"    item count(0)", u"<== CEngineTARSK::StartReferentialScan,"}));

  engine_.SetItems({MakeItem(kCustomId, 17, u"d", u"a.exe", u"A"), MakeItem(kCustomId, 10, u"d", u"b.exe", u"B")});
  engine_.ClearCalls();
  EXPECT_EQ(driver_->StartReferentialScan(session_, false, false, true, BackupFolder(), {}), kOk);
  EXPECT_EQ(engine_.CallNames(), (CallList{"TKGetItemCount", "TKEnableScanner", "TKEnableScanner", "TKSetOption",
                                           "TKScanRelatedReferences"}));
  EXPECT_EQ(engine_.CallsOf("TKScanRelatedReferences")[0].texts, Texts{u""});
  EXPECT_EQ(engine_.Items().size(), 2u);

  // With a clean flag: backup and cleanup follow.
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, false, true, BackupFolder(), {}), kOk);
  EXPECT_EQ(engine_.Backups().size(), 2u);
  EXPECT_EQ(engine_.Cleans().size(), 1u);
  EXPECT_TRUE(engine_.Items().empty());

  // A failed referential scan cleans nothing; a failed preparation scans nothing.
  engine_.SetItems({MakeItem(kCustomId, 17, u"d", u"a.exe", u"A")});
  engine_.SetStatus("TKScanRelatedReferences", -4);
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, true, false, u"", {}), MapEngineStatus(-4));
  engine_.SetStatus("TKEnableScanner", -3);
  EXPECT_EQ(driver_->StartReferentialScan(session_, true, true, false, u"", {}), MapEngineStatus(-3));
  EXPECT_EQ(engine_.CountCalls("TKScanRelatedReferences"), 3u);
  EXPECT_EQ(engine_.Cleans().size(), 1u);
  EXPECT_EQ(engine_.Items().size(), 1u);
}

TEST_F(ReferentialTest, UnreadyDriverRefusesTheCleanPath) {
  auto unready = MakeDriver();
  engine_.SetItems({MakeItem(kCustomId, 10, u"d", u"a.exe", u"A")});
  engine_.ClearCalls();
  std::vector<bool> flags{true};
  std::int32_t selected = 7;
  std::vector<bool> done(1);
  EXPECT_EQ(unready->BackupAndClean(session_, true, true, true, BackupFolder()), kEngineNotReady);
  EXPECT_EQ(unready->SpywareDoCleanup(session_, true, true, false), kEngineNotReady);
  EXPECT_EQ(unready->SelectItemsForClean(session_, 1, false, true, true, flags), kEngineNotReady);
  EXPECT_TRUE(flags.empty());
  EXPECT_EQ(unready->CleanItems(session_), kEngineNotReady);
  unready->SendCleanResult(session_, {true});
  EXPECT_EQ(unready->SpywareBackup(session_, BackupFolder()), kEngineNotReady);
  EXPECT_EQ(unready->SelectItemsByCompany(session_, u"A", 1, selected, done), kEngineNotReady);
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(unready->SpywareRestore(session_, u"x"), kEngineNotReady);
  ZEVO_ReferentialItem item{};
  EXPECT_EQ(unready->AddReferentialScanItem(session_, item), kEngineNotReady);
  EXPECT_EQ(unready->StartReferentialScan(session_, true, true, true, u"", {}), kEngineNotReady);
  EXPECT_TRUE(engine_.Calls().empty());
  EXPECT_TRUE(TakeReports().empty());
  EXPECT_EQ(Lines(), (Texts{u"==> CEngineTARSK::SpywareBackup,tkc = 0x2, wstrBackupPath = " + BackupFolder(),
                            u"<== CEngineTARSK::SpywareBackup,",
                            u"==> CEngineTARSK::SpywareDoCleanup,tkc = 0x2, bBackup = false",
                            u"<== CEngineTARSK::SpywareDoCleanup,", u"==> CEngineTARSK::SendCleanResult,",
                            u"<== CEngineTARSK::SendCleanResult,",
                            u"==> CEngineTARSK::SpywareBackup,tkc = 0x2, wstrBackupPath = " + BackupFolder(),
                            u"<== CEngineTARSK::SpywareBackup,",
                            u"==> CEngineTARSK::SpywareRestore,tkc = 0x2, wstrRestoreFile = x",
                            u"<== CEngineTARSK::SpywareRestore,",
                            u"==> CEngineTARSK::StartReferentialScan,tkc = 0x2, bDoSpywareClean = true, "
                            u"bDoCookieClean = true",
                            u"<== CEngineTARSK::StartReferentialScan,"}));
}

}  // namespace
}  // namespace zevo::drivertest
