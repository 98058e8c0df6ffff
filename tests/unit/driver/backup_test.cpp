// CEngineTARSK backups per company against the fake engine, in a private
// folder tree: files moved, work folders removed, reports, and every way a
// backup can fall short failing before anything is cleaned.
#include <fstream>
#include <iterator>

#include "clean_fixture.h"

namespace zevo::drivertest {
namespace {

namespace fs = std::filesystem;
using CallList = std::vector<std::string>;
using Texts = std::vector<std::u16string>;
using Ints = std::vector<std::int64_t>;

const std::u16string kSep(1, os::kPathSeparator);

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class BackupTest : public CleanTest {
 protected:
  // Companies A B A A B.
  void SetFiveItems() {
    engine_.SetItems({MakeItem(kCustomId, 10, u"d", u"0.exe", u"A"), MakeItem(kCustomId + 1, 10, u"d", u"1.exe", u"B"),
                      MakeItem(kCustomId + 2, 13, u"d", u"2.exe", u"A"), MakeItem(kCustomId + 3, 14, u"d", u"3.exe", u"A"),
                      MakeItem(kCustomId + 4, 12, u"d", u"4.txt", u"B")});
  }
  fs::path Backups() const { return root_ / "backup"; }
  std::vector<std::u16string> WorkFolders() const { return Names(root_ / "temp"); }
  // The backup failed: nothing selected for cleaning, nothing cleaned, all
  // items still in the session.
  void ExpectNothingCleaned() {
    EXPECT_EQ(engine_.CountCalls("TKClean"), 0u);
    EXPECT_EQ(engine_.CountCalls("TKRemoveItems"), 0u);
    EXPECT_EQ(engine_.Items().size(), 5u);
  }
};

TEST_F(BackupTest, OneFilePerCompanyMovedReportedAndWorkFoldersGone) {
  SetFiveItems();
  ASSERT_EQ(driver_->SpywareBackup(session_, BackupFolder()), kOk);
  const auto backups = engine_.Backups();
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(backups[0].prefix, u"A");
  EXPECT_EQ(backups[0].selected, (std::vector<std::uint32_t>{0, 2, 3}));
  EXPECT_EQ(backups[1].prefix, u"B");
  EXPECT_EQ(backups[1].selected, (std::vector<std::uint32_t>{1, 4}));
  for (const auto& backup : backups) {
    // temp folder + separator + GUID + separator: two separators in a row.
    EXPECT_TRUE(backup.folder.starts_with(Temp() + kSep)) << fs::path(backup.folder);
    EXPECT_EQ(backup.folder.size(), Temp().size() + 1 + 38 + 1);
    EXPECT_EQ(backup.folder.back(), os::kPathSeparator);
  }
  EXPECT_NE(backups[0].folder, backups[1].folder);
  EXPECT_EQ(Names(Backups()), (Texts{u"A_1.tkb", u"B_2.tkb"}));
  EXPECT_EQ(Contents(Backups() / "A_1.tkb"), "1845493760\n1845493762\n1845493763\n");
  EXPECT_TRUE(WorkFolders().empty());

  const auto reports = TakeReports();
  ASSERT_EQ(reports.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(reports[i].event, kEventBackupFile);
    EXPECT_EQ(reports[i].handle, session_);
    EXPECT_EQ(reports[i].c, 0);
    EXPECT_EQ(reports[i].d, 0);
    EXPECT_EQ(fs::path(reports[i].backupFile), (Backups() / (i == 0 ? "A_1.tkb" : "B_2.tkb")).lexically_normal());
    EXPECT_TRUE(fs::path(reports[i].backupFile).is_absolute());
  }
  EXPECT_EQ(reports[0].company, u"A");
  EXPECT_EQ(reports[1].company, u"B");

  const auto options = engine_.CallsOf("TKSetOption");
  ASSERT_EQ(options.size(), 4u);
  EXPECT_EQ(options[0].ints, (Ints{session_, kOptionBackupPrefix}));
  EXPECT_EQ(options[0].texts, Texts{u"A"});
  EXPECT_EQ(options[1].ints, (Ints{session_, kOptionBackupPath}));
  EXPECT_EQ(options[1].texts, Texts{backups[0].folder});
  EXPECT_EQ(engine_.CallNames(),
            (CallList{"TKGetItemCount", "TKGetItem", "TKSelectItems", "TKGetItemIndexByCompanyName",
                      "TKGetItemIndexByCompanyName", "TKSelectItems", "TKSelectItems", "TKSelectItems", "TKSetOption",
                      "TKSetOption", "TKBackup", "TKGetItem", "TKSelectItems", "TKGetItemIndexByCompanyName",
                      "TKGetItemIndexByCompanyName", "TKSelectItems", "TKSelectItems", "TKSetOption", "TKSetOption",
                      "TKBackup"}));  // items already backed up are not fetched again
  EXPECT_EQ(engine_.CallsOf("TKSelectItems")[0].ints, (Ints{session_, 0xFFFFFFFF, 0}));
  EXPECT_EQ(engine_.CallsOf("TKSelectItems")[1].ints, (Ints{session_, 0, 1}));
  EXPECT_EQ(Lines(), (Texts{u"==> CEngineTARSK::SpywareBackup,tkc = 0x2, wstrBackupPath = " + BackupFolder(),
                            u"item count(0x5)", u"Get a Company Name: A", u"Get a Company Name: B",
                            u"<== CEngineTARSK::SpywareBackup,"}));
}

TEST_F(BackupTest, CleaningFollowsOnlyAGoodBackup) {
  logtest::Configure("Plugin TARSK=1;=1");
  SetFiveItems();
  ASSERT_EQ(driver_->BackupAndClean(session_, true, true, true, BackupFolder()), kOk);
  std::vector<std::int32_t> events;
  for (const auto& report : TakeReports()) events.push_back(report.event);
  EXPECT_EQ(events, (std::vector<std::int32_t>{1000, 1000, 1001, 1001, 1001, 1001, 1001}));
  EXPECT_EQ(engine_.Cleans().size(), 1u);
  EXPECT_TRUE(engine_.Items().empty());
  const auto lines = Lines();
  EXPECT_EQ(lines[2], u"backup start");
  EXPECT_TRUE(lines[5].starts_with(u"backup finished, performance = "));
  EXPECT_EQ(lines[7], u"==> CEngineTARSK::SpywareDoCleanup,tkc = 0x2, bBackup = true");

  // No backup asked for: straight to cleaning.
  SetFiveItems();
  engine_.ClearCalls();
  ASSERT_EQ(driver_->BackupAndClean(session_, true, false, false, u""), kOk);
  EXPECT_EQ(engine_.CountCalls("TKBackup"), 0u);
  EXPECT_EQ(engine_.Cleans().size(), 2u);

  // A failed backup: its code, and the items stay as they were.
  SetFiveItems();
  engine_.ClearCalls();
  engine_.SetStatus("TKBackup", -12);
  EXPECT_EQ(driver_->BackupAndClean(session_, true, true, true, BackupFolder()), MapEngineStatus(-12));
  EXPECT_EQ(engine_.CallsOf("TKSelectItems").back().ints, (Ints{session_, 3, 1}));  // no select-all for cleaning
  EXPECT_EQ(engine_.Cleans().size(), 2u);
  EXPECT_EQ(engine_.Items().size(), 5u);
}

TEST_F(BackupTest, AFileThatCannotBeMovedStaysWithItsWorkFolder) {
  SetFiveItems();
  fs::create_directories(Backups());
  std::ofstream(Backups() / "A_1.tkb") << "older backup";
  EXPECT_EQ(driver_->BackupAndClean(session_, true, true, true, BackupFolder()), kBackupFolderFailed);
  ExpectNothingCleaned();
  EXPECT_EQ(Contents(Backups() / "A_1.tkb"), "older backup");
  // The new file is kept where the engine wrote it; no other company went on.
  const auto work = WorkFolders();
  ASSERT_EQ(work.size(), 1u);
  const fs::path kept = root_ / "temp" / work[0] / "A_1.tkb";
  EXPECT_EQ(Contents(kept), "1845493760\n1845493762\n1845493763\n");
  EXPECT_EQ(engine_.Backups().size(), 1u);
  EXPECT_TRUE(TakeReports().empty());
  const std::u16string source = engine_.Backups()[0].folder + u"A_1.tkb";
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 5u);
  const std::u16string expected = u"SpywareBackup(),MoveFile: " + source + u": failed with error ";
  EXPECT_EQ(lines[3].substr(0, expected.size()), expected);
}

TEST_F(BackupTest, NoWorkFolderMeansNoBackup) {
  SetFiveItems();
  fs::remove_all(root_ / "temp");
  EXPECT_EQ(driver_->BackupAndClean(session_, true, true, true, BackupFolder()), kBackupFolderFailed);
  ExpectNothingCleaned();
  // The engine is never sent to an empty path.
  EXPECT_EQ(engine_.CountCalls("TKSetOption"), 0u);
  EXPECT_EQ(engine_.CountCalls("TKBackup"), 0u);
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 5u);
  const std::u16string expected = u"CreateGuidFolder(),CreateDirectory: " + Temp() + kSep + u"{";
  EXPECT_EQ(lines[3].substr(0, expected.size()), expected);
  EXPECT_NE(lines[3].find(u"}" + kSep + u": failed with error "), std::u16string::npos);
}

TEST_F(BackupTest, TheBackupFolderMustBeGivenAndCreatable) {
  // No items: nothing to check, nothing created.
  EXPECT_EQ(driver_->SpywareBackup(session_, BackupFolder()), kOk);
  EXPECT_FALSE(fs::exists(Backups()));
  SetFiveItems();
  EXPECT_EQ(driver_->BackupAndClean(session_, true, true, true, u""), kBackupFolderFailed);
  ExpectNothingCleaned();
  const std::u16string deep = (root_ / "missing" / "backup").u16string();
  EXPECT_EQ(driver_->SpywareBackup(session_, deep), kBackupFolderFailed);
  EXPECT_EQ(engine_.CountCalls("TKGetItem"), 0u);
  const auto lines = Lines();
  ASSERT_EQ(lines.size(), 10u);
  const std::u16string expected = u"Failed to create backup folder: " + deep + kSep + u" GetLastError():0x";
  EXPECT_EQ(lines[8].substr(0, expected.size()), expected);
  // A folder that exists is taken as it is, with or without its separator.
  EXPECT_EQ(driver_->SpywareBackup(session_, (root_ / "temp").u16string() + kSep), kOk);
  EXPECT_EQ(Names(root_ / "temp"), (Texts{u"A_1.tkb", u"B_2.tkb"}));
}

TEST_F(BackupTest, ABackupThatLeavesNoFileFails) {
  SetFiveItems();
  engine_.SetBackupWritesFile(false);
  EXPECT_EQ(driver_->BackupAndClean(session_, true, true, true, BackupFolder()), kBackupFolderFailed);
  ExpectNothingCleaned();
  EXPECT_TRUE(WorkFolders().empty());  // removed all the same
  EXPECT_TRUE(TakeReports().empty());
  EXPECT_EQ(engine_.Backups().size(), 1u);
  EXPECT_EQ(Lines()[3], u"Failed: no backup file in " + engine_.Backups()[0].folder);
}

TEST_F(BackupTest, EveryItemMustLandInABackupFile) {
  // The engine names item 3 under no company and an index it does not have.
  SetFiveItems();
  engine_.SetCompanyIndexes(u"A", {0, 2, 99});
  EXPECT_EQ(driver_->BackupAndClean(session_, true, true, true, BackupFolder()), kBackupFolderFailed);
  ExpectNothingCleaned();
  const auto backups = engine_.Backups();
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(backups[0].selected, (std::vector<std::uint32_t>{0, 2}));
  EXPECT_EQ(Names(Backups()), (Texts{u"A_1.tkb", u"B_2.tkb"}));
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[4], u"Failed: item 0x3 of company A is in no backup file");

  // A company the engine finds nothing of: none of its items is saved, and
  // no company is backed up twice.
  SetFiveItems();
  engine_.SetCompanyIndexes(u"B", {});
  EXPECT_EQ(driver_->SpywareBackup(session_, BackupFolder()), kBackupFolderFailed);
  EXPECT_EQ(engine_.Backups().size(), 3u);
  lines = Lines();
  EXPECT_EQ(lines[lines.size() - 4], u"Failed: item 0x1 of company B is in no backup file");
  EXPECT_EQ(lines[lines.size() - 3], u"Failed: item 0x3 of company A is in no backup file");
  EXPECT_EQ(lines[lines.size() - 2], u"Failed: item 0x4 of company B is in no backup file");

  // Only what the job cleans needs a backup: a cookie-only clean goes ahead
  // without A's item 3, and cleans the cookie alone.
  SetFiveItems();
  engine_.SetCompanyIndexes(u"B", {1, 4});
  EXPECT_EQ(driver_->BackupAndClean(session_, /*spyware=*/false, /*cookie=*/true, true, BackupFolder()), kOk);
  EXPECT_EQ(engine_.Cleans().back().selected, (std::vector<std::uint32_t>{4}));
}

TEST_F(BackupTest, RefusedEngineCallsFailTheBackup) {
  engine_.SetLastError(5, u"no");
  struct Case {
    const char* call;
    std::size_t nth;
    std::size_t backups;  // TKBackup calls that answered 0
    const char16_t* failure;
    std::int32_t status = MapEngineStatus(-6);  // 0: any failure
  };
  const Case cases[] = {
      {"TKGetItemCount", 1, 0, u"Failed: TKGetItemCount: 0xfffffffa"},
      {"TKGetItem", 2, 1, u"Failed: TKGetItem: 0xfffffffa"},  // the second item: A is saved, then stop
      {"TKSelectItems", 1, 0, u"Failed: TKSelectItems: 0xfffffffa"},
      {"TKGetItemIndexByCompanyName", 1, 0, u"Failed: TKGetItemIndexByCompanyName: 0xfffffffa"},
      {"TKGetItemIndexByCompanyName", 2, 0, u"Failed: TKGetItemIndexByCompanyName: 0xfffffffa"},
      {"TKSelectItems", 3, 0, u"Failed: TKSelectItems: 0xfffffffa"},  // one of A's items
      {"TKBackup", 2, 1, u"Failed: TKBackup: 0xfffffffa"},
      // No path for the engine: whatever it does then, no file arrives here.
      {"TKSetOption", 2, 0, u"Failed: TKSetOption BackupPath 0xfffffffa", 0},
  };
  for (const Case& c : cases) {
    SetFiveItems();
    const std::size_t saved = engine_.Backups().size();
    const std::size_t lines = Lines().size();
    engine_.SetStatusOnCall(c.call, c.nth, -6);
    const std::int32_t result = driver_->BackupAndClean(session_, true, true, true, BackupFolder());
    EXPECT_TRUE(Failed(result)) << c.call << c.nth;
    if (c.status != 0) {
      EXPECT_EQ(result, c.status) << c.call << c.nth;
    }
    ExpectNothingCleaned();
    EXPECT_EQ(engine_.Backups().size() - saved, c.backups) << c.call << c.nth;
    EXPECT_TRUE(WorkFolders().empty()) << c.call << c.nth;
    const auto now = Lines();
    EXPECT_NE(std::find(now.begin() + static_cast<std::ptrdiff_t>(lines), now.end(), c.failure), now.end())
        << c.call << c.nth;
  }
  // A refused prefix is only logged: the file is written under the last one.
  SetFiveItems();
  engine_.SetStatusOnCall("TKSetOption", 1, -6);
  EXPECT_EQ(driver_->SpywareBackup(session_, BackupFolder()), kOk);
  EXPECT_EQ(Lines()[Lines().size() - 3], u"Failed: TKSetOption BackupPrefix 0xfffffffa");
}

TEST_F(BackupTest, ASessionWithoutOwnerGetsNoReports) {
  SetFiveItems();
  EXPECT_EQ(driver_->SpywareBackup(driver_->MainSession(), BackupFolder()), kOk);
  EXPECT_EQ(Names(Backups()).size(), 2u);
  EXPECT_TRUE(TakeReports().empty());
}

}  // namespace
}  // namespace zevo::drivertest
