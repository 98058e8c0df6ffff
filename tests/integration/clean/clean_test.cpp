// Scan jobs with cleaning over random trees, through the real module and
// engine: each company's items backed up into one reported .tkb file, one
// clean result per item, and the restore of every backup file gives back the
// tree as it was, byte for byte, with permission bits and last write times.
// Jobs without backup and backups inside the scanned folders: the fault
// sweep of clean_faults_test.cpp and zevo-host's clean cases (tests/integration/cli).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "clean_fixture.h"

namespace zevo::it {
namespace {

using Found = std::multiset<std::pair<std::string, std::int32_t>>;  // file, item id

Found Expected(const RandomTree& tree) {
  Found expected;
  for (const TreeFile& f : tree.files) {
    for (const std::int32_t id : f.items) expected.emplace(f.path, id);
  }
  return expected;
}

Found Reported(const std::vector<SPYWARE_ITEM>& items, const fs::path& root) {
  Found reported;
  for (const SPYWARE_ITEM& item : items) reported.emplace(RelativePath(item, root), item.itemId);
  return reported;
}

// A file with one item: its clean result says cleaned exactly when it is.
void ExpectCleanFlags(const CleanRun& r, const RandomTree& tree, const fs::path& root, ZEVO_ScanOptions o,
                      bool backup) {
  for (const SPYWARE_ITEM& item : r.cleaned) {
    const TreeFile* f = tree.Find(RelativePath(item, root));
    ASSERT_NE(f, nullptr) << "a clean result for a file not in the tree";
    if (f->items.size() == 1) {
      EXPECT_EQ((item.resultFlags & kFlagCleaned) != 0, MayClean(*f, o, backup)) << f->path;
    }
  }
}

using CleanJob = CleanFixture;

TEST_F(CleanJob, BackupCleanAndRestoreGiveTheTreeBackByteForByte) {
  SCOPED_TRACE(SeedNote());
  const auto [tree, run, root, before] = PrepareRun();
  const CleanRun r = RunCleanJob({1, 1, 0});
  EXPECT_TRUE(Succeeded(r.results.scan)) << std::hex << r.results.scan;
  const TreeSnapshot cleaned = Snapshot(root);

  EXPECT_EQ(Reported(r.found, root), Expected(tree));
  EXPECT_EQ(Reported(r.cleaned, root), Expected(tree)) << "one clean result per item";
  ExpectCleanFlags(r, tree, root, {1, 1, 0}, /*backup=*/true);
  ExpectCleanedAsAsked(tree, before, cleaned, {1, 1, 0}, /*backup=*/true, /*finished=*/true);

  // One backup file per company, reported with its full path in the backup
  // folder; no work folder is left in the temp folder.
  std::set<std::u16string> companies, expectedCompanies;
  for (const SPYWARE_ITEM& item : r.found) expectedCompanies.insert(Field(item.companyName));
  std::set<fs::path> reported, inFolder;
  for (const auto& [file, company] : r.backups) {
    EXPECT_TRUE(companies.insert(company).second) << "a company backed up twice";
    EXPECT_TRUE(file.is_absolute()) << Utf8(file);
    std::error_code ec;
    EXPECT_TRUE(fs::equivalent(file.parent_path(), BackupFolder(run), ec)) << Utf8(file);
    reported.insert(file.filename());
  }
  for (const fs::path& file : BackupFiles(BackupFolder(run))) inFolder.insert(file.filename());
  EXPECT_EQ(companies, expectedCompanies);
  EXPECT_EQ(reported, inFolder);
  EXPECT_TRUE(fs::is_empty(work_ / "temp")) << "a work folder was left behind";

  RestoreAll(BackupFolder(run));
  EXPECT_EQ(Differences(before, Snapshot(root)), "");

  // A restore over a file changed since the backup, or of a backup file
  // that does not exist, fails and says so; the changed file stays.
  // Captured by name: clang 14 cannot capture structured bindings.
  const auto isVictim = [&tree = tree, &root = root](const SPYWARE_ITEM& item) {
    const TreeFile* f = tree.Find(RelativePath(item, root));
    return f != nullptr && f->items.size() == 1 && !f->Cookie() && !f->NoBackup();
  };
  const auto victim = std::find_if(r.found.begin(), r.found.end(), isVictim);
  ASSERT_NE(victim, r.found.end());
  const auto backup = std::find_if(r.backups.begin(), r.backups.end(),
                                   [&](const auto& b) { return b.second == Field(victim->companyName); });
  ASSERT_NE(backup, r.backups.end());
  const fs::path changed = root / PathOf(RelativePath(*victim, root));
  fs::permissions(changed, fs::perms::owner_write, fs::perm_options::add);
  std::ofstream(changed, std::ios::binary | std::ios::trunc) << "changed since the backup\n";
  EXPECT_TRUE(Failed(Restore(backup->first)));
  EXPECT_EQ(ReadBytes(changed), "changed since the backup\n");
  EXPECT_TRUE(Failed(Restore(BackupFolder(run) / "no-such-file.tkb")));
}

}  // namespace
}  // namespace zevo::it
