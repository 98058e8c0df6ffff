// Scan jobs with cleaning over random trees (nested folders with non-ASCII
// names, read-only files, every family of the shipped pattern, cookie files
// with tracking lines among clean ones, clean files), through the module and
// the engine, while one engine call of the clean path fails (every call, then
// each in turn; past the last call, a job without faults) or a backup or work
// folder cannot be created: no file may be lost. Restored from the backups,
// the tree is back byte for byte, with permission bits and last write times.
// Clean results and backups of a whole job: zevo-host's clean cases
// (tests/integration/cli) and BackupTest.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
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

// Item ids of the shipped pattern (engine/tarskptn.da6).
constexpr std::int32_t kEicar = 1001, kAdPopper = 1002, kSearchBar = 1003, kDialer = 1004, kTrackingCookie = 1005,
                       kLoader = 1006, kBrowserHelper = 1007, kResident = 1008, kUpdater = 1009,
                       kCustomPopup = 0x6e000010;
constexpr char kTrackingDomain[] = "tracker.globex.example";
constexpr std::size_t kCompanies = 6;  // every random tree holds items of each

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TreeFile {
  std::string path;  // relative, '/'-separated, UTF-8
  std::string bytes;
  bool readOnly = false;
  std::vector<std::int32_t> items;  // what the engine finds in it; empty for clean files
  bool Cookie() const { return items.size() == 1 && items[0] == kTrackingCookie; }
  // The engine never cleans it while a backup is asked for.
  bool NoBackup() const { return items.size() == 1 && items[0] == kUpdater; }
};

struct RandomTree {
  std::uint32_t seed = 0;
  std::vector<std::string> folders;  // relative, parents first
  std::vector<TreeFile> files;

  std::size_t ItemCount() const {
    std::size_t n = 0;
    for (const TreeFile& f : files) n += f.items.size();
    return n;
  }
  // Writes the tree under `root` (which must not hold it yet). Last write
  // times are whole seconds, months to years in the past.
  void Write(const fs::path& root) const {
    std::mt19937 rng(seed ^ 0x5eedu);
    for (const std::string& folder : folders) fs::create_directories(root / PathOf(folder));
    const auto now = std::chrono::time_point_cast<std::chrono::seconds>(fs::file_time_type::clock::now());
    for (const TreeFile& f : files) {
      const fs::path file = root / PathOf(f.path);
      std::ofstream(file, std::ios::binary).write(f.bytes.data(), static_cast<std::streamsize>(f.bytes.size()));
      fs::last_write_time(file, now - std::chrono::seconds(86400 + rng() % 100'000'000));
      if (f.readOnly)
        fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    }
  }
};

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

// The content of each sample of the engine's own sample tree, by item id:
// the EICAR string and the SHA-256 sample need their exact bytes.
const std::map<std::int32_t, std::string>& SampleBytes() {
  static const std::map<std::int32_t, std::string> bytes = [] {
    TempFolder scratch("clean-samples");
    tarsk::samples::WriteSampleTree(scratch.path());
    std::map<std::int32_t, std::string> byId;
    for (const tarsk::samples::Sample& s : tarsk::samples::AllSamples()) {
      if (s.itemId != 0) byId.emplace(s.itemId, ReadBytes(scratch.path() / s.path));
    }
    return byId;
  }();
  return bytes;
}

RandomTree MakeRandomTree(std::uint32_t seed) {
  std::mt19937 rng(seed);
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  auto filler = [&](std::size_t maxLength) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789 .,;\n";
    std::string text(pick(maxLength + 1), ' ');
    for (char& c : text) c = kLetters[pick(sizeof(kLetters) - 1)];
    return text;
  };

  RandomTree tree;
  tree.seed = seed;
  static const char* const kFolderNames[] = {"Überwachung",   "Пример",     "資料", "docs",
                                             "Program Files", "naïve café", "data", "Ελληνικά"};
  std::vector<std::string> places{""};  // "" is the root
  for (const char* name : kFolderNames) {
    if (pick(4) == 0) continue;
    const std::string parent = places[pick(places.size())];
    places.push_back(parent.empty() ? name : parent + "/" + name);
    tree.folders.push_back(places.back());
  }

  static const char* const kStems[] = {"report", "отчёт", "写真", "Übersicht", "setup", "kölsch", "tool"};
  int counter = 0;
  auto add = [&](const std::string& ext, std::string bytes, std::vector<std::int32_t> items) {
    const std::string folder = places[pick(places.size())];
    const std::string name = std::string(kStems[pick(std::size(kStems))]) + "-" + std::to_string(++counter) + ext;
    tree.files.push_back(
        {folder.empty() ? name : folder + "/" + name, std::move(bytes), pick(3) == 0, std::move(items)});
  };
  auto withSignature = [&](const char* family) { return filler(80) + "TARSK-TEST-FAMILY-" + family + filler(80); };

  const std::pair<std::int32_t, const char*> kByteFamilies[] = {{kAdPopper, "ADPOPPER"}, {kSearchBar, "SEARCHBAR"},
                                                                {kDialer, "DIALER"},     {kResident, "RESIDENT"},
                                                                {kUpdater, "UPDATER"},   {kCustomPopup, "CUSTOM"}};
  for (const auto& [id, family] : kByteFamilies) {
    for (std::size_t n = 1 + pick(2); n > 0; --n) add(".exe", withSignature(family), {id});
  }
  add(".com", SampleBytes().at(kEicar), {kEicar});
  add(".bin", SampleBytes().at(kLoader), {kLoader});
  add(".tarskbho", filler(120), {kBrowserHelper});
  add(".dll", withSignature("ADPOPPER") + withSignature("DIALER"), {kAdPopper, kDialer});

  // Cookie files: tracking lines (plain, subdomain, HttpOnly) among clean
  // ones; one file has none and is clean. Names are unique, so two
  // "cookies.txt" never meet in one folder.
  auto cookieText = [&](int tracking) {
    std::string text = "# Netscape HTTP Cookie File\n";
    for (int line = 0; line < 4 + tracking; ++line) {
      const bool track = line % 2 == 1 && line / 2 < tracking;  // every other line, from the second
      const std::string domain =
          track ? std::string(pick(2) ? "." : "#HttpOnly_.") + (pick(2) ? "ads." : "") + kTrackingDomain
                : "shop" + std::to_string(pick(100)) + ".example";
      text += domain + "\tTRUE\t/\tFALSE\t2000000000\tid" + std::to_string(line) + "\t" + filler(12) + "\n";
    }
    return text;
  };
  const std::string cookieFolder = places[pick(places.size())];
  tree.files.push_back({cookieFolder.empty() ? "cookies.txt" : cookieFolder + "/cookies.txt",
                        cookieText(2 + static_cast<int>(pick(2))),
                        pick(3) == 0,
                        {kTrackingCookie}});
  add(".cookies", cookieText(1), {kTrackingCookie});
  add(".cookies", cookieText(0), {});

  for (std::size_t n = 8 + pick(5); n > 0; --n) {
    if (pick(2) == 0) {
      std::string binary(pick(300), '\0');
      for (char& c : binary) c = static_cast<char>(rng() & 0xff);
      add(".dat", std::move(binary), {});
    } else {
      add(".txt", filler(200), {});
    }
  }
  add(".txt", "", {});
  return tree;
}

// A file as the file system holds it.
struct FileState {
  std::string bytes;
  fs::perms perms{};
  fs::file_time_type::rep writeTime = 0;
  bool operator==(const FileState&) const = default;
};

struct TreeSnapshot {
  std::map<std::string, FileState> files;  // relative path (generic UTF-8) -> state
  std::set<std::string> folders;
};

TreeSnapshot Snapshot(const fs::path& root) {
  TreeSnapshot snapshot;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string relative = Utf8(entry.path().lexically_relative(root));
    if (entry.is_directory()) {
      snapshot.folders.insert(relative);
    } else {
      snapshot.files[relative] = {ReadBytes(entry.path()), entry.status().permissions(),
                                  fs::last_write_time(entry.path()).time_since_epoch().count()};
    }
  }
  return snapshot;
}

// One line per difference of `after` from `before`; empty when equal.
std::string Differences(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::ostringstream out;
  for (const auto& [path, state] : before.files) {
    const auto it = after.files.find(path);
    if (it == after.files.end()) {
      out << "  missing: " << path << "\n";
    } else if (!(it->second == state)) {
      out << "  changed (bytes, permissions or last write time): " << path << "\n";
    }
  }
  for (const auto& [path, state] : after.files) {
    if (before.files.count(path) == 0) out << "  added: " << path << "\n";
  }
  for (const std::string& f : before.folders) out << (after.folders.count(f) ? "" : "  folder missing: " + f + "\n");
  for (const std::string& f : after.folders) out << (before.folders.count(f) ? "" : "  folder added: " + f + "\n");
  return out.str();
}

// What one scan job with cleaning reported.
struct CleanRun {
  hostsim::ScanJobResults results;
  std::vector<SPYWARE_ITEM> found;                           // event 2
  std::vector<SPYWARE_ITEM> cleaned;                         // event 1001
  std::vector<std::pair<fs::path, std::u16string>> backups;  // event 1000: file, company
};

// Whether a job with `o` may clean a file (one with no item never).
bool MayClean(const TreeFile& f, ZEVO_ScanOptions o, bool backup) {
  if (f.items.empty()) return false;
  return f.Cookie() ? o.doCookieClean != 0 : o.doSpywareClean != 0 && !(backup && f.NoBackup());
}

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

class CleanFaults : public ::testing::TestWithParam<FaultCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_.Ready());
    fs::create_directories(temp_);
    fs::create_directories(work_ / "debug");
    const char* fixed = std::getenv("ZEVO_CLEAN_SEED");
    seed_ = fixed != nullptr ? static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 10)) : std::random_device{}();
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

  std::string SeedNote() const { return "random tree seed " + std::to_string(seed_) + " (ZEVO_CLEAN_SEED repeats it)"; }

  // A configuration store naming `backupFolder` (with a trailing separator
  // or, for odd seeds, without) and switching backups on or off; used by
  // every session opened after.
  void UseStore(const fs::path& backupFolder, bool backup) {
    const auto values = nlohmann::json::array({
        {{"key", "0x12711000"}, {"type", "bool"}, {"value", backup}},
        {{"key", "0x10c10000"}, {"type", "bool"}, {"value", true}},
        {{"key", "0x10c20001"},
         {"type", "wstring"},
         {"value", StoreText(seed_ % 2 == 0 ? backupFolder / "" : backupFolder)}},
    });
    const std::string name = "store-" + std::to_string(++stores_) + ".json";
    const auto repository = m_.host().UseConfigStore(WriteConfigStore(work_, temp_, name, values));
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

  // Files a job must not clean stay untouched.
  static void ExpectKeptFilesUntouched(const RandomTree& tree, const TreeSnapshot& before, const TreeSnapshot& after,
                                       ZEVO_ScanOptions o, bool backup) {
    for (const TreeFile& f : tree.files) {
      const auto it = after.files.find(f.path);
      EXPECT_TRUE(MayClean(f, o, backup) || (it != after.files.end() && it->second == before.files.at(f.path)))
          << "a file that must stay was changed or removed: " << f.path;
    }
  }

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

    ExpectKeptFilesUntouched(tree, before, after, options, backup);
    if (Succeeded(r.results.scan)) {
      EXPECT_EQ(r.cleaned.size(), r.found.size()) << "a success without a clean result for every item";
    }
    for (const auto& [file, company] : r.backups) {
      EXPECT_TRUE(fs::is_regular_file(file)) << "a reported backup file does not exist: " << Utf8(file);
    }
    for (const SPYWARE_ITEM& item : r.found) {  // a custom-range item's own company text
      const std::u16string company(item.companyText, std::size(item.companyText));
      EXPECT_TRUE(item.itemId != kCustomPopup || company.substr(0, company.find(u'\0')) == u"Custom Vendor GmbH");
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

  std::uint32_t seed_ = 0;
  TempFolder work_{"clean"};
  fs::path temp_ = work_ / "temp";
  ModuleHost m_;
  int stores_ = 0;
  int runs_ = 0;
};

TEST_P(CleanFaults, EveryDetectedFileStaysOrComesBackFromABackup) {
  SCOPED_TRACE(SeedNote());
  const RandomTree tree = MakeRandomTree(seed_);
  if (GetParam().function == nullptr) {
    // A regular file where the folder's parent should be: neither root nor
    // wine can create a folder under it.
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
