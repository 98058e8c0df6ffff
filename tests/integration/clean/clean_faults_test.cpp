// Scan jobs with cleaning while one engine call of the clean path fails
// (every call, then each call in turn), and with a backup or work folder that
// cannot be created. Whatever the module answers, no file may be lost: after
// a job with backup each detected file is still in place or comes back from
// a .tkb in the backup folder; after every job the files the rules keep are
// untouched, a success has a clean result for every item, and every reported
// backup file exists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean_fixture.h"

namespace zevo::it {
namespace {

struct FaultCase {
  const char* function;  // failed through TARSK_FAULTS; null: a folder cannot be created
  // At most how many calls of `function` a job makes, per item and per
  // company, beyond a few of the scan and the session.
  int perItem = 0;
  int perCompany = 0;
  bool blockTempFolder = false;  // no function: the work folders rather than the backup folder
  std::string Name() const {
    return function != nullptr ? function : blockTempFolder ? "UncreatableWorkFolder" : "UnwritableBackupFolder";
  }
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.Name(); }

class CleanFaults : public CleanFixture, public ::testing::WithParamInterface<FaultCase> {
 protected:
  // One job on a fresh copy of the tree, with backup and both clean flags
  // or without backup and cookie cleaning; checks everything that must hold
  // whatever the fault did. `backupFolder` empty: the run's own.
  void RunAndCheck(const RandomTree& tree, const std::string& faults, bool backup, fs::path backupFolder = {}) {
    SCOPED_TRACE((faults.empty() ? GetParam().Name() : "TARSK_FAULTS=" + faults) + (backup ? "" : ", no backup"));
    const fs::path run = NewRun(tree, backup);
    const ZEVO_ScanOptions options{1, static_cast<std::uint8_t>(backup ? 1 : 0), 0};
    const fs::path root = run / "tree";
    if (backupFolder.empty()) {
      backupFolder = BackupFolder(run);
    } else {
      UseStore(backupFolder, /*backup=*/true);
    }
    const TreeSnapshot before = Snapshot(root);
    const CleanRun r = RunCleanJob(options, faults);
    const TreeSnapshot after = Snapshot(root);

    ExpectCleanedAsAsked(tree, before, after, options, backup, /*finished=*/false);
    if (Succeeded(r.results.scan)) {
      EXPECT_EQ(r.cleaned.size(), r.found.size()) << "a success without a clean result for every item";
    }
    for (const auto& [file, company] : r.backups) {
      EXPECT_TRUE(fs::is_regular_file(file)) << "a reported backup file does not exist: " << Utf8(file);
    }
    if (!backup) {
      EXPECT_TRUE(r.backups.empty() && BackupFiles(backupFolder).empty());
      return;  // what it may clean is gone for good
    }
    RestoreAll(backupFolder);
    const std::string lost = Differences(before, Snapshot(root));
    EXPECT_EQ(lost, "") << "the job answered 0x" << std::hex << r.results.scan << ", " << std::dec << r.found.size()
                        << " items found, " << r.cleaned.size() << " clean results, " << r.backups.size()
                        << " backup files reported";
    if (faults.empty()) {
      EXPECT_EQ(r.found.size(), tree.ItemCount());
      EXPECT_EQ(r.results.scan, kBackupFolderFailed);
      EXPECT_EQ(Differences(before, after), "") << "cleaned without a backup";
      EXPECT_TRUE(r.cleaned.empty() && r.backups.empty());
      EXPECT_TRUE(BackupFiles(fs::current_path()).empty()) << "a backup written for an empty path";
    }
  }
};

TEST_P(CleanFaults, EveryDetectedFileStaysOrComesBackFromABackup) {
  SCOPED_TRACE(SeedNote());
  const RandomTree tree = MakeRandomTree(seed_);
  if (GetParam().function == nullptr) {
    // A regular file where the folder's parent should be: neither root nor
    // wine can create a folder under it.
    work_.Write("blocker", "a file, not a folder\n");
    if (GetParam().blockTempFolder) {
      RestartWithTempFolder(work_ / "blocker" / "temp");
      RunAndCheck(tree, "", /*backup=*/true);
    } else {
      RunAndCheck(tree, "", /*backup=*/true, work_ / "blocker" / "backup");
    }
    return;
  }
  // Every call fails, then each call in turn.
  const std::string fault = std::string(GetParam().function) + "=-12";
  const std::size_t calls = GetParam().perItem * tree.ItemCount() + GetParam().perCompany * kCompanies + 3;
  for (const bool backup : {true, false}) {
    RunAndCheck(tree, fault, backup);
    for (std::size_t n = 1; n <= calls && !HasFailure(); ++n) {
      RunAndCheck(tree, fault + "@" + std::to_string(n), backup);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(CleanPath, CleanFaults,
                         ::testing::Values(FaultCase{"TKSelectItems", 2, 1}, FaultCase{"TKGetItem", 3, 0},
                                           FaultCase{"TKGetItemIndexByCompanyName", 0, 2},
                                           FaultCase{"TKSetOption", 0, 2}, FaultCase{"TKBackup", 0, 1},
                                           FaultCase{"TKClean"}, FaultCase{"TKRemoveItems"}, FaultCase{nullptr},
                                           FaultCase{nullptr, 0, 0, /*blockTempFolder=*/true}),
                         [](const ::testing::TestParamInfo<FaultCase>& c) { return c.param.Name(); });

}  // namespace
}  // namespace zevo::it
