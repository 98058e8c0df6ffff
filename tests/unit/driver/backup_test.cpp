// CEngineTARSK backups per company against the fake engine, in a private
// folder tree. The integration clean suite sweeps engine faults over them.
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

#include "clean_fixture.h"

namespace zevo::drivertest {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::u16string>;
using Indexes = std::vector<std::uint32_t>;

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
                      MakeItem(kCustomId + 2, 13, u"d", u"2.exe", u"A"),
                      MakeItem(kCustomId + 3, 14, u"d", u"3.exe", u"A"),
                      MakeItem(kCustomId + 4, 12, u"d", u"4.txt", u"B")});
  }
  std::int32_t BackupAndClean(const std::u16string& folder) {
    return driver_->BackupAndClean(session_, true, true, true, folder);
  }
  fs::path Backups() const { return root_ / "backup"; }
  std::vector<std::u16string> WorkFolders() const { return Names(root_ / "temp"); }
  // A failed backup: nothing selected, cleaned or removed.
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
  EXPECT_EQ(backups[0].selected, (Indexes{0, 2, 3}));
  EXPECT_EQ(backups[1].prefix, u"B");
  EXPECT_EQ(backups[1].selected, (Indexes{1, 4}));
  // temp folder + separator + GUID + separator: two separators in a row.
  EXPECT_TRUE(backups[1].folder.starts_with(Temp() + kSep)) << fs::path(backups[1].folder);
  EXPECT_EQ(backups[1].folder.size(), Temp().size() + 1 + 38 + 1);
  EXPECT_EQ(backups[1].folder.back(), os::kPathSeparator);
  EXPECT_NE(backups[0].folder, backups[1].folder);
  EXPECT_EQ(Names(Backups()), (Texts{u"A_1.tkb", u"B_2.tkb"}));
  EXPECT_TRUE(WorkFolders().empty());
  EXPECT_EQ(engine_.CountCalls("TKGetItem"), 2u);  // items already backed up are not fetched again

  const auto reports = TakeReports();
  ASSERT_EQ(reports.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(std::tuple(reports[i].event, reports[i].handle, reports[i].c, reports[i].d),
              std::tuple(kEventBackupFile, session_, 0, 0));
    EXPECT_EQ(fs::path(reports[i].backupFile), (Backups() / (i == 0 ? "A_1.tkb" : "B_2.tkb")).lexically_normal());
    EXPECT_EQ(reports[i].company, i == 0 ? u"A" : u"B");
  }
  const auto options = engine_.CallsOf("TKSetOption");
  EXPECT_EQ(options.at(0).ints, (std::vector<std::int64_t>{session_, kOptionBackupPrefix}));
  EXPECT_EQ(options.at(1).texts, Texts{backups[0].folder});
  EXPECT_EQ(Lines()[0], u"==> CEngineTARSK::SpywareBackup,tkc = 0x2, wstrBackupPath = " + BackupFolder());

  // A session without owner gets no reports.
  EXPECT_EQ(driver_->SpywareBackup(driver_->MainSession(), BackupFolder()), kOk);
  EXPECT_TRUE(TakeReports().empty());
}

TEST_F(BackupTest, EveryShortfallOfTheFilesFailsBeforeCleaning) {
  const std::u16string deep = (root_ / "missing" / "backup").u16string();
  const struct {
    const char* what;
    std::function<void()> arrange;
    std::u16string folder;
    std::size_t backups;                   // TKBackup calls that answered 0
    std::size_t workLeft;                  // work folders kept
    std::function<std::u16string()> line;  // the start of the failure line
  } cases[] = {
      {"file cannot be moved",
       [&] {
         fs::create_directories(Backups());
         std::ofstream(Backups() / "A_1.tkb") << "older backup";
       },
       BackupFolder(), 1, 1,
       [&] { return u"SpywareBackup(),MoveFile: " + engine_.Backups().back().folder + u"A_1.tkb: failed with error"; }},
      {"no work folder", [&] { fs::remove_all(root_ / "temp"); }, BackupFolder(), 0, 0,
       [&] { return u"CreateGuidFolder(),CreateDirectory: " + Temp() + kSep + u"{"; }},
      {"backup folder not creatable", [] {}, deep, 0, 0,
       [&] { return u"Failed to create backup folder: " + deep + kSep + u" GetLastError():0x"; }},
      {"no file written", [&] { engine_.SetBackupWritesFile(false); }, BackupFolder(), 1, 0,
       [&] { return u"Failed: no backup file in " + engine_.Backups().back().folder; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(root_ / "temp");
    fs::create_directories(root_ / "temp");
    SetFiveItems();
    engine_.SetBackupWritesFile(true);
    engine_.ClearCalls();
    c.arrange();
    ForgetLines();
    const std::size_t backups = engine_.Backups().size();
    EXPECT_EQ(BackupAndClean(c.folder), kBackupFolderFailed);
    ExpectNothingCleaned();
    EXPECT_EQ(engine_.Backups().size() - backups, c.backups);
    EXPECT_EQ(WorkFolders().size(), c.workLeft);
    const auto lines = Lines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const auto& line) { return line.starts_with(c.line()); }));
  }
  EXPECT_EQ(Contents(Backups() / "A_1.tkb"), "older backup");
}

TEST_F(BackupTest, OnlyWhatTheJobCleansNeedsABackup) {
  // With no items there is nothing to check and nothing is created.
  engine_.SetItems({});
  EXPECT_EQ(driver_->SpywareBackup(session_, BackupFolder()), kOk);
  EXPECT_FALSE(fs::exists(Backups()));
  // A folder that exists is taken as it is, with its separator.
  SetFiveItems();
  EXPECT_EQ(driver_->SpywareBackup(session_, Temp()), kOk);
  EXPECT_EQ(WorkFolders().size(), 2u);
  // The engine names item 3 under no company and finds none of B's items:
  // none of those is saved, and no company is backed up twice.
  SetFiveItems();
  engine_.SetCompanyIndexes(u"A", {0, 2, 99});
  engine_.SetCompanyIndexes(u"B", {});
  EXPECT_EQ(driver_->SpywareBackup(session_, BackupFolder()), kBackupFolderFailed);
  EXPECT_EQ(engine_.Backups().size(), 3u);  // A's alone after the two above
  EXPECT_TRUE(Logged(u"Failed: item 0x3 of company A is in no backup file"));
  EXPECT_TRUE(Logged(u"Failed: item 0x4 of company B is in no backup file"));
  // A cookie-only clean goes ahead without A's item 3, and cleans the cookie alone.
  SetFiveItems();
  engine_.SetCompanyIndexes(u"B", {1, 4});
  EXPECT_EQ(driver_->BackupAndClean(session_, /*spyware=*/false, /*cookie=*/true, true, BackupFolder()), kOk);
  EXPECT_EQ(engine_.Cleans().back().selected, (Indexes{4}));
}

}  // namespace
}  // namespace zevo::drivertest
