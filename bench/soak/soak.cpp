// zevo-soak [SECONDS]: eight host threads drive the real module on the
// reference engine for SECONDS (default 60), every operation at once:
// objects queried and released, sessions opened and closed, scans of a
// sample tree, stops by name and by notification (each session in turn),
// referential cleaning with backups that are restored into each thread's
// own folder, the queries 8282 and 8283, the notifications 4104, 4105,
// 4108, 4109, 4116, 4117 and 4118, and PostInitialize again (with and
// without a stop before it).
//
// Every operation checks its own outcome as it goes: each answer is one the
// operation may give, every report reaches the sink of its job with the
// job's cookie and none arrives after the release, every cleaned folder is
// byte for byte the original again once its backups are restored, and the
// queries answer what the pattern holds. Prints operations per kind,
// failures and peak memory; exits 1 on any fault, 2 when it cannot start.
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "samples.h"
#include "sim/executable_folder.h"
#include "sim/plugin_module.h"
#include "sim/query_job.h"
#include "sim/reference_host.h"
#include "sim/referential_job.h"
#include "sim/restore_job.h"
#include "sim/scan_job.h"
#include "zevo/identity.h"
#include "zevo/msg_wrapper.h"
#include "zevo/result.h"

namespace zevo::soak {
namespace {

namespace fs = std::filesystem;
using hostsim::ProgressRecorder;
using hostsim::ProgressReport;

constexpr int kThreads = 8;
constexpr const char* kScanCaller = "soak-scan";  // the stops by name aim at these scans

enum Op : int {
  kObjects,
  kSession,
  kScan,
  kStopByName,
  kStopAll,
  kClean,
  kNamesQuery,
  kTableQuery,
  kComponents,
  kUpdate,
  kPostAgain,
  kRestart,
  kOpCount
};
constexpr std::array<const char*, kOpCount> kOpNames = {"objects",
                                                        "session",
                                                        "scan",
                                                        "stop by name",
                                                        "stop all (4104/5/17)",
                                                        "clean+restore",
                                                        "query 8282",
                                                        "table 8283",
                                                        "notify 4108/4109/4118",
                                                        "notify 4116",
                                                        "PostInitialize again",
                                                        "stop+start"};

std::string Hex(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(code));
  return text;
}

// Counters and the first failures' texts, shared by every thread.
class Tally {
 public:
  void Done(Op op) { ++done_[op]; }
  void Refused(Op op) { ++refused_[op]; }  // no object: the module was stopped
  void Fail(Op op, const std::string& what) {
    ++failed_[op];
    const std::lock_guard<std::mutex> lock(mu_);
    if (++messages_ <= 20) std::fprintf(stderr, "FAIL %s: %s\n", kOpNames[op], what.c_str());
  }
  std::uint64_t Failures() const {
    std::uint64_t n = 0;
    for (const auto& f : failed_) n += f.load();
    return n;
  }
  void Print() const {
    std::printf("%-24s %10s %9s %9s\n", "operation", "done", "refused", "failed");
    for (int op = 0; op < kOpCount; ++op) {
      std::printf("%-24s %10llu %9llu %9llu\n", kOpNames[op], static_cast<unsigned long long>(done_[op].load()),
                  static_cast<unsigned long long>(refused_[op].load()),
                  static_cast<unsigned long long>(failed_[op].load()));
    }
  }

 private:
  std::array<std::atomic<std::uint64_t>, kOpCount> done_{}, refused_{}, failed_{};
  std::mutex mu_;
  int messages_ = 0;
};

std::u16string Text(const char16_t* field, std::size_t size) {
  return std::u16string(field, std::find(field, field + size, u'\0'));
}

// A stop may come before function 5 or 2 (the object refuses them) or while
// the engine scans (the engine's status for a stopped scan).
bool DoneOrStopped(std::int32_t result) {
  return result >= 0 || result == kStopRequested || result == MapEngineStatus(-4) ||
         result == hostsim::ScanJobResults::kNotRun;
}

// What the module answers when nothing else runs, learned once before the
// threads start: the items of the read-only tree (its folder's path, then
// each item id's company and threat level) and the company table.
struct Baseline {
  std::u16string tree;
  std::size_t items = 0;
  std::map<std::int32_t, std::pair<std::u16string, std::int32_t>> families;
  std::vector<hostsim::CompanyRow> companies;

  // Counts the items of `sink` inside the tree; false when one names a
  // company or threat level other than its item id's.
  bool Check(const ProgressRecorder& sink, std::size_t& inTree) const {
    inTree = 0;
    for (const SPYWARE_ITEM& item : sink.Items()) {
      const auto family = families.find(item.itemId);
      if (family == families.end() || family->second.first != Text(item.companyName, std::size(item.companyName)) ||
          family->second.second != item.threatLevel) {
        return false;
      }
      if (Text(item.text6, std::size(item.text6)).starts_with(tree)) ++inTree;
    }
    return true;
  }
};

std::map<fs::path, std::string> ReadTree(const fs::path& root) {
  std::map<fs::path, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[fs::relative(entry.path(), root)] = std::string(std::istreambuf_iterator<char>(in), {});
  }
  return files;
}

class Soak {
 public:
  Soak(const PluginExportTable& x, const fs::path& root, Baseline baseline)
      : x_(x), root_(root), baseline_(std::move(baseline)), pristine_(ReadTree(root / "scan")) {
    for (const auto& sample : tarsk::samples::AllSamples()) {
      if (sample.path.filename() == "eicar.com") eicar_ = sample.path;
    }
  }

  void Run(int thread, std::chrono::steady_clock::time_point end) {
    const fs::path own = root_ / "work" / std::to_string(thread);
    std::mt19937 random(static_cast<unsigned>(thread) + 1);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
      // Each thread walks the operations from its own place, so that all
      // kinds run at once; the lifecycle ones come rarely.
      Op op = static_cast<Op>((thread + round) % kOpCount);
      if ((op == kRestart || op == kPostAgain || op == kUpdate) && random() % 8 != 0) op = kObjects;
      RunOne(op, thread, own);
    }
  }

  Tally& tally() { return tally_; }
  std::uint64_t restored() const { return restored_.load(); }

 private:
  std::uint64_t NextCookie() { return cookie_.fetch_add(1) + 1; }

  // The reports of one job: all with its cookie, none after the release.
  void CheckReports(Op op, const ProgressRecorder& sink, std::uint64_t cookie) {
    for (const ProgressReport& r : sink.Reports()) {
      if (r.cookie != cookie) return tally_.Fail(op, "report with cookie " + std::to_string(r.cookie));
    }
    if (sink.LateReports() != 0) tally_.Fail(op, "report after the release");
  }

  // Runs a restore until it gets past the stops that other threads send to
  // every session (and past a moment of a stopped module); its last result.
  hostsim::RestoreJobResults Restore(const hostsim::RestoreJobRequest& request) {
    hostsim::RestoreJobResults results;
    for (int i = 0; i < 100000; ++i) {
      results = hostsim::RunRestoreJob(x_, request);
      if (results.obtained && results.open != kStopRequested && results.restore != kStopRequested) break;
      std::this_thread::yield();
    }
    return results;
  }

  void RunOne(Op op, int thread, const fs::path& own) {
    switch (op) {
      case kObjects: {
        ICommonPluginInterface* engine = x_.Plugin_Interface_QueryInterface(kEngineInterfaceId);
        ICommonPluginInterface* status = x_.Plugin_Interface_QueryInterface(kEngineStatusInterfaceId);
        const bool refused = engine == nullptr || status == nullptr;
        if (status != nullptr && x_.Plugin_Interface_CallFunc(status, 0, nullptr, nullptr) != kOk) {
          tally_.Fail(op, "status interface");
        }
        x_.Plugin_Interface_Release(status);
        x_.Plugin_Interface_Release(engine);
        if (refused) return tally_.Refused(op);
        break;
      }
      case kSession: {
        ICommonPluginInterface* engine = x_.Plugin_Interface_QueryInterface(kEngineInterfaceId);
        if (engine == nullptr) return tally_.Refused(op);
        const std::string name = "soak-session-" + std::to_string(thread);
        ZEVO_OpenBlock block{nullptr, name.c_str(), NextCookie()};
        char16_t version[15] = {};
        const std::int32_t open = x_.Plugin_Interface_CallFunc(engine, kFnOpenSession, &block, nullptr);
        const std::int32_t pattern = x_.Plugin_Interface_CallFunc(engine, kFnGetPatternVersion, version, nullptr);
        const std::int32_t close = x_.Plugin_Interface_CallFunc(engine, kFnCloseSession, nullptr, nullptr);
        if (open != kCommonOk || pattern != kOk || close != kOk || version[0] == u'\0') {
          tally_.Fail(op, "open " + Hex(open) + ", version " + Hex(pattern) + ", close " + Hex(close));
        }
        x_.Plugin_Interface_Release(engine);
        break;
      }
      case kScan: {
        ProgressRecorder sink;
        const hostsim::ScanJobRequest request{kScanCaller, NextCookie(), {0, 0, 0}, nullptr};
        const auto r = hostsim::RunScanJob(x_, request, sink);
        if (!r.obtained) return tally_.Refused(op);
        if (r.open != kCommonOk || !DoneOrStopped(r.setSink) || !DoneOrStopped(r.scan) || r.close < 0) {
          return tally_.Fail(op,
                             "steps " + Hex(r.open) + " " + Hex(r.setSink) + " " + Hex(r.scan) + " " + Hex(r.close));
        }
        // The working folders add what they hold at the moment; the
        // read-only tree always gives the same items.
        std::size_t inTree = 0;
        if (!baseline_.Check(sink, inTree)) tally_.Fail(op, "an item with another company or threat level");
        if (r.scan != hostsim::ScanJobResults::kNotRun && r.scan >= 0 && inTree != baseline_.items) {
          tally_.Fail(op, std::to_string(inTree) + " items of the read-only tree reported");
        }
        CheckReports(op, sink, request.cookie);
        break;
      }
      case kStopByName: {
        const std::int32_t r = hostsim::StopScansByName(x_, kScanCaller);
        if (r == kNoEngineInterface) return tally_.Refused(op);
        // The driver closes the engine session before it drops the
        // session's name, so a stop can meet a session that is closing.
        if (r != kOk && r != kNoSessionForName && r != MapEngineStatus(-2)) tally_.Fail(op, Hex(r));
        break;
      }
      case kStopAll: {
        // The three stop notifications in turn; each stops every session.
        const std::uint32_t n = std::array{4104u, 4105u, 4117u}[NextCookie() % 3];
        const std::int32_t r = x_.Plugin_Interface_OnNotify(n, nullptr, nullptr);
        if (r != kNotifyScansStopped) tally_.Fail(op, std::to_string(n) + ": " + Hex(r));
        break;
      }
      case kClean:
        return CleanAndRestore(thread, own);
      case kNamesQuery: {
        std::vector<std::int32_t> ids;
        std::vector<std::u16string> names;
        for (const auto& row : baseline_.companies) {
          ids.push_back(static_cast<std::int32_t>(row.id));
          names.push_back(row.name);
        }
        ids.push_back(-7), names.push_back(u"no such company");
        const auto r = hostsim::RunLookup(x_, ids, names);
        if (!r.obtained) return tally_.Refused(op);
        bool right = r.namesResult == kCommonOk && r.idsResult == kCommonOk && r.namesOfIds.size() == ids.size() &&
                     r.idsOfNames.size() == names.size() && r.namesOfIds.back().empty() && r.idsOfNames.back() == -1;
        for (std::size_t i = 0; right && i + 1 < ids.size(); ++i) {
          right = r.namesOfIds[i] == names[i] && r.idsOfNames[i] == ids[i];
        }
        if (!right) tally_.Fail(op, "answers " + Hex(r.namesResult) + " " + Hex(r.idsResult));
        break;
      }
      case kTableQuery: {
        const auto r = hostsim::RunCompanyTableQuery(x_);
        if (!r.obtained) return tally_.Refused(op);
        bool same = r.result == kCommonOk && r.paired && r.rows.size() == baseline_.companies.size();
        for (std::size_t i = 0; same && i < r.rows.size(); ++i) {
          same = r.rows[i].id == baseline_.companies[i].id && r.rows[i].name == baseline_.companies[i].name;
        }
        if (!same) tally_.Fail(op, "table " + Hex(r.result));
        break;
      }
      case kComponents: {
        for (const std::uint32_t n : {4108u, 4109u, 4118u}) {
          ZEVO_DataHandleWrapper output;
          const std::int32_t r = x_.Plugin_Interface_OnNotify(n, nullptr, &output);
          std::uint32_t bytes = 0;
          if (r == kNoEngineInterface) return tally_.Refused(op);
          if (r < 0 || output.Pack() < 0 || output.GetDataLen(&bytes) < 0 || bytes == 0) {
            tally_.Fail(op, std::to_string(n) + ": " + Hex(r));
          }
        }
        break;
      }
      case kUpdate: {
        // The pattern in place, offered as an update: the check accepts it.
        ZEVO_DataHandleWrapper input, request(0x100b5);
        request.PutInt32(1, 3), request.PutInt32(2, 0x40000010), request.PutWString(18, u"tarskptn.da6");
        input.PutData(request);
        const std::int32_t r = x_.Plugin_Interface_OnNotify(4116, &input, nullptr);
        if (r < 0) tally_.Fail(op, Hex(r));
        break;
      }
      case kPostAgain: {
        const auto r = static_cast<std::int32_t>(x_.Plugin_Interface_PostInitialize());
        if (r < 0) tally_.Fail(op, Hex(r));
        break;
      }
      case kRestart: {
        const auto stop = static_cast<std::int32_t>(x_.Plugin_Interface_PreUninitialize());
        const auto start = static_cast<std::int32_t>(x_.Plugin_Interface_PostInitialize());
        if (stop < 0 || start < 0) tally_.Fail(op, "stop " + Hex(stop) + ", start " + Hex(start));
        break;
      }
      case kOpCount:
        break;
    }
    tally_.Done(op);
  }

  // The thread's own copy of the sample tree, cleaned through a referential
  // job with backups (the reference: the EICAR file, whose folder is
  // examined), then restored from the backups it was told of: the folder
  // must hold the original bytes again.
  void CleanAndRestore(int thread, const fs::path& own) {
    const Op op = kClean;
    ProgressRecorder sink;
    hostsim::ReferentialJobRequest request;
    request.callerName = "soak-clean-" + std::to_string(thread);
    request.cookie = NextCookie();
    request.options = {1, 1, 1};
    request.references.push_back({(own / eicar_).make_preferred().u16string(), u"", u"soak"});
    const auto r = hostsim::RunReferentialJob(x_, request, sink);
    if (!r.obtained) return tally_.Refused(op);
    CheckReports(op, sink, request.cookie);
    std::vector<std::u16string> backups;
    for (const ProgressReport& report : sink.Reports()) {
      if (report.event == hostsim::kEventBackupFile) backups.push_back(report.text);
    }
    if (r.open != kCommonOk || (r.add.size() == 1 && !DoneOrStopped(r.add[0])) || !DoneOrStopped(r.setSink) ||
        !DoneOrStopped(r.scan) || r.close < 0) {
      tally_.Fail(op, "steps " + Hex(r.open) + " " + Hex(r.add.empty() ? 0 : r.add[0]) + " " + Hex(r.scan));
    }
    for (const std::u16string& backup : backups) {
      const auto restored = Restore({request.callerName, NextCookie(), backup, nullptr});
      if (restored.FirstFailure() != 0) tally_.Fail(op, "restore " + Hex(restored.FirstFailure()));
      ++restored_;
      std::error_code ignored;
      fs::remove(fs::path(backup), ignored);
    }
    if (ReadTree(own) != pristine_) {
      tally_.Fail(op, "folder " + own.string() + " differs after the restore");
      fs::remove_all(own);
      tarsk::samples::WriteSampleTree(own);  // the next round starts clean
    }
    tally_.Done(op);
  }

  const PluginExportTable& x_;
  fs::path root_;
  fs::path eicar_;  // in the sample tree: the reference of the cleaning
  const Baseline baseline_;
  const std::map<fs::path, std::string> pristine_;
  std::atomic<std::uint64_t> cookie_{0};
  std::atomic<std::uint64_t> restored_{0};
  Tally tally_;
};

// A configuration store with the debug, temp and backup folders in `root`.
fs::path WriteStore(const fs::path& root) {
  auto folder = [&](const char* name) {
    fs::create_directories(root / name);
    const std::u8string text = (root / name / "").u8string();
    return std::string(text.begin(), text.end());
  };
  const nlohmann::json store = {{"values",
                                 {{{"key", "0xc70000"}, {"type", "int32"}, {"value", 1}},
                                  {{"key", "0xc20001"}, {"type", "wstring"}, {"value", folder("debug")}},
                                  {{"key", "0xc20002"}, {"type", "wstring"}, {"value", folder("temp")}},
                                  {{"key", "0x10c20001"}, {"type", "wstring"}, {"value", folder("backup")}}}}};
  std::ofstream(root / "config.json") << store.dump();
  return root / "config.json";
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

int Main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: zevo-soak [SECONDS]\n");
    return 2;
  }
  const fs::path bin = hostsim::ExecutableFolder();
  const fs::path root = fs::temp_directory_path() / ("zevo-soak-" + std::to_string(std::random_device{}()));
  tarsk::samples::WriteSampleTree(root / "scan");
  for (int t = 0; t < kThreads; ++t) tarsk::samples::WriteSampleTree(root / "work" / std::to_string(t));
  hostsim::SetScanRoots({root / "scan", root / "work"});

  hostsim::ReferenceHost host((bin / ZEVO_SOAK_ENGINE_FROM_BIN).lexically_normal());
  host.UseConfigStore(WriteStore(root));
  std::string error;
  hostsim::PluginModule module = hostsim::PluginModule::Open(bin / ZEVO_SOAK_MODULE_NAME, error);
  if (!module.Complete()) {
    std::fprintf(stderr, "zevo-soak: %s\n", error.c_str());
    return 2;
  }
  const PluginExportTable& x = module.Exports();
  x.Plugin_Interface_Initialize(host.Organizer());
  if (static_cast<std::int32_t>(x.Plugin_Interface_PostInitialize()) < 0) {
    std::fprintf(stderr, "zevo-soak: the module does not start\n");
    return 2;
  }

  // What every thread compares with: a scan alone, and the company table.
  Baseline baseline;
  {
    ProgressRecorder sink;
    const auto scan = hostsim::RunScanJob(x, {"soak-baseline", 1, {0, 0, 0}, nullptr}, sink);
    baseline.tree = (root / "scan" / "").make_preferred().u16string();
    for (const SPYWARE_ITEM& item : sink.Items()) {
      baseline.families[item.itemId] = {Text(item.companyName, std::size(item.companyName)), item.threatLevel};
    }
    baseline.Check(sink, baseline.items);
    const auto table = hostsim::RunCompanyTableQuery(x);
    baseline.companies = table.rows;
    if (scan.FirstFailure() != 0 || baseline.items == 0 || table.result != kCommonOk || table.rows.empty()) {
      std::fprintf(stderr, "zevo-soak: the baseline scan or table failed\n");
      return 2;
    }
  }

  Soak soak(x, root, baseline);
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::seconds(seconds);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back([&, t] { soak.Run(t, end); });
  for (std::thread& thread : threads) thread.join();
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // Once stopped, nothing is handed out and no driver holds a connection.
  const auto stop = static_cast<std::int32_t>(x.Plugin_Interface_PreUninitialize());
  if (stop < 0 || x.Plugin_Interface_QueryInterface(kEngineInterfaceId) != nullptr ||
      host.services().OpenConnections() != 0) {
    soak.tally().Fail(kRestart, "the final stop left something behind");
  }
  x.Plugin_Interface_Uninitialize();
  module = hostsim::PluginModule();

  soak.tally().Print();
  const std::uint64_t failures = soak.tally().Failures();
  std::printf("backup files restored: %llu\n", static_cast<unsigned long long>(soak.restored()));
  std::printf("%d threads, %.1f s, %llu failures, peak memory %ld KiB\n", kThreads, elapsed,
              static_cast<unsigned long long>(failures), PeakKilobytes());
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace zevo::soak

int main(int argc, char** argv) { return zevo::soak::Main(argc, argv); }
