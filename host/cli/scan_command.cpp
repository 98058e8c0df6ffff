#include "scan_command.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>

#include "console.h"
#include "info_report.h"
#include "module_open.h"
#include "progress_line.h"
#include "samples.h"
#include "scan_report.h"
#include "sim/progress_recorder.h"
#include "sim/reference_host.h"
#include "sim/scan_job.h"
#include "temp_config.h"
#include "zevo/result.h"

namespace zevo::cli {
namespace {

namespace fs = std::filesystem;

// Handed to function 0 and checked on nothing but kept recognisable in
// traces of the module's reports.
constexpr std::uint64_t kHostCookie = 0x7a65766f686f7374;  // "zevohost"

std::vector<fs::path> CheckedFolders(const std::vector<fs::path>& given) {
  std::vector<fs::path> folders = given.empty() ? std::vector<fs::path>{fs::current_path()} : given;
  for (fs::path& folder : folders) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) throw Failure{"not a folder: " + PathText(folder)};
    folder = fs::absolute(folder).lexically_normal();
  }
  return folders;
}

void StartModule(const PluginExportTable& exports, hostsim::ReferenceHost& host, const fs::path& engineFolder) {
  exports.Plugin_Interface_Initialize(host.Organizer());
  const auto started = static_cast<std::int32_t>(exports.Plugin_Interface_PostInitialize());
  if (Succeeded(started)) return;
  exports.Plugin_Interface_PreUninitialize();
  exports.Plugin_Interface_Uninitialize();
  throw Failure{StartFailure(started, engineFolder)};
}

// The job itself, with progress on `err` and Ctrl-C turned into function 8.
void RunJob(const PluginExportTable& exports, const ScanOptions& options, ScanReport& report, std::ostream& err) {
  ProgressLine progress(err, StderrIsTerminal());
  hostsim::ProgressRecorder recorder([&progress](const hostsim::ProgressReport& r) { progress.OnReport(r); });
  std::atomic<std::int32_t> stopResult{0};
  const auto started = std::chrono::steady_clock::now();
  {
    InterruptWatcher watcher([&] { stopResult.store(hostsim::StopScansByName(exports, options.callerName)); });
    report.results = hostsim::RunScanJob(exports, {options.callerName, kHostCookie, {0, 0, 0}, nullptr}, recorder);
    report.interrupted = watcher.Interrupted();
  }
  report.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report.stopResult = stopResult.load();
  progress.Finish();
  for (const hostsim::ProgressReport& r : recorder.Reports()) {
    if (r.event == hostsim::kEventProgress) report.filesScanned = r.c;
    if (r.event == hostsim::kEventItemFound && r.item) report.items.push_back(ToScanItem(*r.item));
  }
  // The engine walks folders in the file system's order; the table should
  // read the same on every machine.
  std::stable_sort(report.items.begin(), report.items.end(),
                   [](const ScanItem& a, const ScanItem& b) { return a.path < b.path; });
}

}  // namespace

int RunScan(const ScanOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    UseUtf8Output();
    ScanReport report;
    report.folders = CheckedFolders(options.folders);
    if (!hostsim::SetScanRoots(report.folders)) throw Failure{"cannot set TARSK_SCAN_ROOTS"};
    std::unique_ptr<TemporaryConfigStore> temporary;
    fs::path store = options.configStore;
    if (store.empty()) {
      temporary = std::make_unique<TemporaryConfigStore>();
      store = temporary->StoreFile();
    }
    hostsim::ReferenceHost host(options.engineFolder);
    const auto repository = host.UseConfigStore(store);
    if (!repository->Loaded()) throw Failure{"configuration store: " + repository->LoadError()};
    const hostsim::PluginModule module = LoadModule(options.module);
    StartModule(module.Exports(), host, options.engineFolder);
    RunJob(module.Exports(), options, report, err);
    module->Plugin_Interface_PreUninitialize();
    module->Plugin_Interface_Uninitialize();
    if (options.json) {
      PrintScanJson(report, out);
    } else {
      PrintScanTable(report, out);
    }
    return report.ExitCode();
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

int RunSamples(const fs::path& folder, std::ostream& out, std::ostream& err) noexcept {
  try {
    tarsk::samples::WriteSampleTree(folder);
    out << tarsk::samples::AllSamples().size() << " sample files written to " << PathText(folder) << '\n';
    return 0;
  } catch (const std::exception& e) {
    err << "zevo-host: cannot write the sample tree: " << e.what() << '\n';
  } catch (...) {
    err << "zevo-host: cannot write the sample tree\n";
  }
  return kExitError;
}

}  // namespace zevo::cli
