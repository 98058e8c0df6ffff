// Scan jobs with cleaning through the module and the engine while one engine
// call of the clean path fails (every call, then each in turn) or a backup or
// work folder cannot be created: no file may be lost, and restored from the
// backups the tree is back byte for byte, with permissions and write times.
// Clean results of a whole job: zevo-host's clean cases and BackupTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "../common/module_host.h"
#include "../common/scoped_env.h"
#include "samples.h"
#include "sim/scan_job.h"
#include "zevo/identity.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

constexpr std::int32_t kAdPopper = 1002, kDialer = 1004, kTrackingCookie = 1005, kUpdater = 1009, kCustom = 0x6e000010;
constexpr std::size_t kCompanies = 6;  // the sample tree holds items of each

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TreeFile {
  std::string path;                 // relative, '/'-separated, UTF-8
  std::vector<std::int32_t> items;  // what the engine finds in it; empty for clean files
  bool Cookie() const { return items.size() == 1 && items[0] == kTrackingCookie; }
  // The engine never cleans it while a backup is asked for.
  bool NoBackup() const { return items.size() == 1 && items[0] == kUpdater; }
};

// The engine's sample tree (every family, tracking cookies among clean lines,
// a non-ASCII name, clean files) and a file with two items.
std::vector<TreeFile> SampleTree() {
  std::vector<TreeFile> files;
  for (const tarsk::samples::Sample& s : tarsk::samples::AllSamples()) {
    files.push_back({Utf8(s.path), s.itemId != 0 ? std::vector{s.itemId} : std::vector<std::int32_t>{}});
  }
  files.push_back({"programs/Übersicht zwei.dll", {kAdPopper, kDialer}});
  return files;
}

std::size_t ItemCount(const std::vector<TreeFile>& tree) {
  std::size_t n = 0;
  for (const TreeFile& f : tree) n += f.items.size();
  return n;
}

// Writes the tree under `root`: every third file read-only, last write times
// whole seconds, days to years in the past.
void WriteTree(const std::vector<TreeFile>& tree, const fs::path& root) {
  tarsk::samples::WriteSampleTree(root);
  std::ofstream(root / PathOf(tree.back().path), std::ios::binary)
      << "MZ TARSK-TEST-FAMILY-ADPOPPER, TARSK-TEST-FAMILY-DIALER\n";
  const auto now = std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now());
  for (std::size_t i = 0; i < tree.size(); ++i) {
    const fs::path file = root / PathOf(tree[i].path);
    fs::last_write_time(file, now - std::chrono::seconds(86400 + i * 7'654'321));
    if (i % 3 == 1)
      fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove);
  }
}

// Makes everything under `root` writable again, so that it can be removed
// (a read-only file cannot be deleted on Windows).
void MakeWritable(const fs::path& root) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    std::error_code ignored;
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
}

struct FileState {
  std::string bytes;
  fs::perms perms{};
  fs::file_time_type::rep writeTime = 0;
  bool operator==(const FileState&) const = default;
};

// Relative path (generic UTF-8) -> state; a folder's state is its mark only.
using TreeSnapshot = std::map<std::string, FileState>;

TreeSnapshot Snapshot(const fs::path& root) {
  TreeSnapshot snapshot;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    snapshot[Utf8(entry.path().lexically_relative(root))] =
        entry.is_directory() ? FileState{"(folder)"}
                             : FileState{ReadBytes(entry.path()), entry.status().permissions(),
                                         fs::last_write_time(entry.path()).time_since_epoch().count()};
  }
  return snapshot;
}

// One line per difference of `after` from `before`; empty when equal.
std::string Differences(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::set<std::string> paths;
  for (const TreeSnapshot* snapshot : {&before, &after}) {
    for (const auto& entry : *snapshot) paths.insert(entry.first);
  }
  std::string out;
  for (const std::string& path : paths) {
    const auto was = before.find(path), is = after.find(path);
    if (was == before.end() || is == after.end() || !(was->second == is->second)) {
      out += "  " + path + (was == before.end() ? " added\n" : is == after.end() ? " missing\n" : " changed\n");
    }
  }
  return out;
}

// What one scan job with cleaning reported.
struct CleanRun {
  hostsim::ScanJobResults results;
  std::vector<SPYWARE_ITEM> found;    // event 2
  std::vector<SPYWARE_ITEM> cleaned;  // event 1001
  std::vector<fs::path> backups;      // event 1000
};

// Whether a job with `o` may clean a file (one with no item never).
bool MayClean(const TreeFile& f, ZEVO_ScanOptions o, bool backup) {
  if (f.items.empty()) return false;
  return f.Cookie() ? o.doCookieClean != 0 : o.doSpywareClean != 0 && !(backup && f.NoBackup());
}

struct FaultCase {
  const char* function;  // failed through TARSK_FAULTS; null: a folder cannot be created
  // At most how many calls of `function` a job makes per item and company.
  int perItem = 0;
  int perCompany = 0;
  bool blockTempFolder = false;  // no function: the work folders rather than the backup folder
  std::string Name() const {
    return function != nullptr ? function : blockTempFolder ? "UncreatableWorkFolder" : "UnwritableBackupFolder";
  }
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.Name(); }

class CleanFaults : public ::testing::TestWithParam<FaultCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_.Ready());
    fs::create_directories(temp_);
    fs::create_directories(work_ / "debug");
    Start();
  }
  // The module reads its temp folder when it starts.
  void Start() {
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

  // A store naming `backupFolder` (every other one without its trailing
  // separator), backups on or off; for every session opened after.
  void UseStore(const fs::path& backupFolder, bool backup) {
    const auto values = nlohmann::json::array({
        {{"key", "0x12711000"}, {"type", "bool"}, {"value", backup}},
        {{"key", "0x10c10000"}, {"type", "bool"}, {"value", true}},
        {{"key", "0x10c20001"},
         {"type", "wstring"},
         {"value", StoreText(++stores_ % 2 == 0 ? backupFolder / "" : backupFolder)}},
    });
    const std::string name = "store-" + std::to_string(stores_) + ".json";
    const auto repository = m_.host().UseConfigStore(WriteConfigStore(work_, temp_, name, values));
    ASSERT_TRUE(repository->Loaded()) << repository->LoadError();
  }

  // The backup folder of a job's folder: a name with a space and non-ASCII.
  static fs::path BackupFolder(const fs::path& run) { return run / PathOf("Sicherung Ü"); }

  // A fresh run-N folder: the tree in run-N/tree (the only scan root), the
  // configured backup folder left for the module to create.
  fs::path NewRun(const std::vector<TreeFile>& tree, bool backup = true) {
    const fs::path run = work_ / ("run-" + std::to_string(++runs_));
    fs::create_directories(run / "tree");
    WriteTree(tree, run / "tree");
    EXPECT_TRUE(hostsim::SetScanRoots({run / "tree"}));
    UseStore(BackupFolder(run), backup);
    return run;
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
      if (report.event == hostsim::kEventBackupFile) run.backups.emplace_back(report.text);
    }
    EXPECT_EQ(sink.LateReports(), 0u);
    return run;
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

  // Restores every backup file of `folder` by function 7 with its full path,
  // each in a session of its own; each must succeed.
  void RestoreAll(const fs::path& folder) {
    for (const fs::path& file : BackupFiles(folder)) {
      const Object engine(m_.x(), kEngineInterfaceId);
      ZEVO_OpenBlock open{nullptr, "clean-restore", 0};
      ASSERT_TRUE(Succeeded(engine.Call(kFnOpenSession, &open)));
      std::u16string path = file.u16string();
      const std::int32_t result = engine.Call(kFnRestore, path.data());
      EXPECT_TRUE(Succeeded(result)) << "restore of " << Utf8(file) << " answered 0x" << std::hex << result;
      engine.Call(kFnCloseSession);
    }
  }

  // One job on a fresh tree, with or without backup; checks what must hold
  // whatever the fault did. `backupFolder` empty: the run's own.
  void RunAndCheck(const std::vector<TreeFile>& tree, const std::string& faults, bool backup,
                   fs::path backupFolder = {}) {
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

    for (const TreeFile& f : tree) {
      const auto it = after.find(f.path);
      EXPECT_TRUE(MayClean(f, options, backup) || (it != after.end() && it->second == before.at(f.path)))
          << "a file that must stay was changed or removed: " << f.path;
    }
    if (Succeeded(r.results.scan)) {
      EXPECT_EQ(r.cleaned.size(), r.found.size()) << "a success without a clean result for every item";
    }
    for (const fs::path& file : r.backups) {
      EXPECT_TRUE(fs::is_regular_file(file)) << "a reported backup file does not exist: " << Utf8(file);
    }
    for (const SPYWARE_ITEM& item : r.found) {  // a custom-range item's own company text
      EXPECT_TRUE(item.itemId != kCustom || std::u16string(item.companyText) == u"Custom Vendor GmbH");
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
      EXPECT_EQ(r.found.size(), ItemCount(tree));
      EXPECT_EQ(r.results.scan, kBackupFolderFailed);
      EXPECT_EQ(Differences(before, after), "") << "cleaned without a backup";
      EXPECT_TRUE(r.cleaned.empty() && r.backups.empty());
      EXPECT_TRUE(BackupFiles(fs::current_path()).empty()) << "a backup written for an empty path";
    }
  }

  TempFolder work_{"clean"};
  fs::path temp_ = work_ / "temp";
  ModuleHost m_;
  int stores_ = 0;
  int runs_ = 0;
};

TEST_P(CleanFaults, EveryDetectedFileStaysOrComesBackFromABackup) {
  const std::vector<TreeFile> tree = SampleTree();
  if (GetParam().function == nullptr) {
    // A regular file as the folder's parent: not even root or wine can create it.
    work_.Write("blocker", "a file, not a folder\n");
    if (GetParam().blockTempFolder) {
      m_.PreUninitialize();
      m_.Uninitialize();
      temp_ = work_ / "blocker" / "temp";
      Start();
      RunAndCheck(tree, "", /*backup=*/true);
    } else {
      RunAndCheck(tree, "", /*backup=*/true, work_ / "blocker" / "backup");
    }
    return;
  }
  // Every call fails, then each call in turn.
  const std::string fault = std::string(GetParam().function) + "=-12";
  const std::size_t calls = GetParam().perItem * ItemCount(tree) + GetParam().perCompany * kCompanies + 3;
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
