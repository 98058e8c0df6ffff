// Shared by the clean-path suites: a started module whose configuration
// names a backup folder and a temp folder in a work folder of the test,
// scan jobs with cleaning over a random tree, and restores through function
// 7 of an engine interface object of the test's own.
#ifndef ZEVO_TESTS_INTEGRATION_CLEAN_CLEAN_FIXTURE_H_
#define ZEVO_TESTS_INTEGRATION_CLEAN_CLEAN_FIXTURE_H_

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "../common/module_host.h"
#include "../common/scoped_env.h"
#include "random_tree.h"
#include "sim/scan_job.h"
#include "zevo/identity.h"
#include "zevo/result.h"

namespace zevo::it {

inline constexpr std::uint32_t kFlagCleaned = 0x1;

// What one scan job with cleaning reported.
struct CleanRun {
  hostsim::ScanJobResults results;
  std::vector<SPYWARE_ITEM> found;                           // event 2
  std::vector<SPYWARE_ITEM> cleaned;                         // event 1001
  std::vector<std::pair<fs::path, std::u16string>> backups;  // event 1000: file, company
};

// Whether a job with `o` may clean a file (one with no item never).
inline bool MayClean(const TreeFile& f, ZEVO_ScanOptions o, bool backup) {
  if (f.items.empty()) return false;
  return f.Cookie() ? o.doCookieClean != 0 : o.doSpywareClean != 0 && !(backup && f.NoBackup());
}

class CleanFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_.Ready());
    fs::create_directories(temp_);
    fs::create_directories(work_ / "debug");
    const char* fixed = std::getenv("ZEVO_CLEAN_SEED");
    seed_ = fixed != nullptr ? static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 10)) : std::random_device{}();
    UseStore(work_ / "backup", /*backup=*/true);  // the module reads its temp folder when it starts
    m_.Initialize();
    ASSERT_GE(m_.PostInitialize(), 0);
  }
  // Stops the module and starts it again with `temp` as its temp folder.
  void RestartWithTempFolder(const fs::path& temp) {
    m_.PreUninitialize();
    m_.Uninitialize();
    temp_ = temp;
    UseStore(work_ / "backup", /*backup=*/true);
    m_.Initialize();
    ASSERT_GE(m_.PostInitialize(), 0);
  }
  void TearDown() override {
    m_.PreUninitialize();
    m_.Uninitialize();
    hostsim::SetScanRoots({});
    MakeWritable(work_.path());
  }

  std::string SeedNote() const { return "random tree seed " + std::to_string(seed_) + " (ZEVO_CLEAN_SEED repeats it)"; }

  // A configuration store naming `backupFolder` (with a trailing separator
  // or, for odd seeds, without) and switching backups on or off; used by
  // every session opened after.
  void UseStore(const fs::path& backupFolder, bool backup) {
    auto text = [](const fs::path& folder) {  // the platform's own form, with its separator
      const std::u8string native = fs::path(folder).make_preferred().u8string();
      return std::string(native.begin(), native.end());
    };
    const std::string backupText = text(seed_ % 2 == 0 ? backupFolder / "" : backupFolder);
    const nlohmann::json store = {
        {"values",
         {
             {{"key", "0xc70000"}, {"type", "int32"}, {"value", 1}},
             {{"key", "0xc20001"}, {"type", "wstring"}, {"value", text(work_ / "debug" / "")}},
             {{"key", "0xc20002"}, {"type", "wstring"}, {"value", text(temp_ / "")}},
             {{"key", "0x12711000"}, {"type", "bool"}, {"value", backup}},
             {{"key", "0x10c10000"}, {"type", "bool"}, {"value", true}},
             {{"key", "0x10c20001"}, {"type", "wstring"}, {"value", backupText}},
         }},
    };
    const std::string name = "store-" + std::to_string(++stores_) + ".json";
    work_.Write(name, store.dump());
    const auto repository = m_.host().UseConfigStore(work_ / name);
    ASSERT_TRUE(repository->Loaded()) << repository->LoadError();
  }

  // The backup folder of a job's folder: a name with a space and non-ASCII.
  static fs::path BackupFolder(const fs::path& run) { return run / PathOf("Sicherung Ü"); }

  // A fresh folder for one job: the tree (the only scan root) is written
  // into run-N/tree; the configured backup folder is left for the module to
  // create.
  fs::path NewRun(const RandomTree& tree, bool backup = true) {
    const fs::path run = work_ / ("run-" + std::to_string(++runs_));
    fs::create_directories(run / "tree");
    tree.Write(run / "tree");
    EXPECT_TRUE(hostsim::SetScanRoots({run / "tree"}));
    UseStore(BackupFolder(run), backup);
    return run;
  }

  // A fresh random tree of this fixture's seed, written into a new run
  // folder, with its snapshot taken before any job touches it.
  struct PreparedRun {
    RandomTree tree;
    fs::path run;
    fs::path root;
    TreeSnapshot before;
  };
  PreparedRun PrepareRun(bool backup = true) {
    RandomTree tree = MakeRandomTree(seed_);
    fs::path run = NewRun(tree, backup);
    fs::path root = run / "tree";
    TreeSnapshot before = Snapshot(root);
    return {std::move(tree), std::move(run), std::move(root), std::move(before)};
  }

  // One scan job with `options`; `faults` goes to TARSK_FAULTS for the job
  // only, so restores afterwards run without it.
  CleanRun RunCleanJob(ZEVO_ScanOptions options, const std::string& faults = "") {
    hostsim::ProgressRecorder sink;
    CleanRun run;
    {
      std::optional<ScopedEnv> env;
      if (!faults.empty()) env.emplace("TARSK_FAULTS", faults);
      run.results = hostsim::RunScanJob(m_.x(), {"clean-safety", 0x5afe, options, nullptr}, sink);
    }
    for (const hostsim::ProgressReport& report : sink.Reports()) {
      if (report.event == hostsim::kEventItemFound && report.item) run.found.push_back(*report.item);
      if (report.event == hostsim::kEventItemCleaned && report.item) run.cleaned.push_back(*report.item);
      if (report.event == hostsim::kEventBackupFile) run.backups.emplace_back(fs::path(report.text), report.company);
    }
    EXPECT_EQ(sink.LateReports(), 0u);
    return run;
  }

  // Function 7 with the backup file's full path, in a session of its own.
  std::int32_t Restore(const fs::path& backupFile) {
    const Object engine(m_.x(), kEngineInterfaceId);
    ZEVO_OpenBlock open{nullptr, "clean-restore", 0};
    const std::int32_t opened = engine.Call(kFnOpenSession, &open);
    if (Failed(opened)) return opened;
    std::u16string path = backupFile.u16string();
    const std::int32_t result = engine.Call(kFnRestore, path.data());
    engine.Call(kFnCloseSession);
    return result;
  }

  // Every "*.tkb" directly in `folder`, sorted.
  static std::vector<fs::path> BackupFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
      if (it->is_regular_file() && it->path().extension() == ".tkb") files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  // Restores every backup file of `folder`; each must succeed.
  void RestoreAll(const fs::path& folder) {
    for (const fs::path& file : BackupFiles(folder)) {
      const std::int32_t result = Restore(file);
      EXPECT_TRUE(Succeeded(result)) << "restore of " << Utf8(file) << " answered 0x" << std::hex << result;
    }
  }

  // Files a job must not clean stay untouched; with `finished`, cookie files
  // it may clean lost their tracking lines and other such files are gone.
  static void ExpectCleanedAsAsked(const RandomTree& tree, const TreeSnapshot& before, const TreeSnapshot& after,
                                   ZEVO_ScanOptions o, bool backup, bool finished) {
    for (const TreeFile& f : tree.files) {
      const auto it = after.files.find(f.path);
      if (!MayClean(f, o, backup)) {
        EXPECT_TRUE(it != after.files.end() && it->second == before.files.at(f.path))
            << "a file that must stay was changed or removed: " << f.path;
      } else if (finished && f.Cookie()) {
        EXPECT_TRUE(it != after.files.end() && it->second.bytes.find(kTrackingDomain) == std::string::npos)
            << "a cookie file is gone or still tracks: " << f.path;
      } else if (finished) {
        EXPECT_TRUE(it == after.files.end()) << "not cleaned: " << f.path;
      }
    }
  }

  std::uint32_t seed_ = 0;
  TempFolder work_{"clean"};
  fs::path temp_ = work_ / "temp";
  ModuleHost m_;

 private:
  int stores_ = 0;
  int runs_ = 0;
};

}  // namespace zevo::it

#endif  // ZEVO_TESTS_INTEGRATION_CLEAN_CLEAN_FIXTURE_H_
