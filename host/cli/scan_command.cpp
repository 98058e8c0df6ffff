#include "scan_command.h"

#include <exception>

#include "console.h"
#include "info_report.h"
#include "job_run.h"
#include "module_open.h"
#include "samples.h"
#include "scan_report.h"
#include "sim/scan_job.h"

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

}  // namespace

ZEVO_ScanOptions JobOptionBytes(bool clean, const HostOptions& host) noexcept {
  if (!clean) return {0, 0, 0};
  // A store of the user's decides through its backup switches (on when it
  // has none); with the temporary one the backup is asked for explicitly,
  // or left to its switches, which --no-backup turned off.
  const bool explicitBackup = host.configStore.empty() && host.settings.backup;
  return {1, 1, static_cast<std::uint8_t>(explicitBackup ? 1 : 0)};
}

void PrepareCleanSettings(HostOptions& host, bool clean) {
  CleanSettings& settings = host.settings;
  if (!settings.backupFolder.empty()) settings.backupFolder = fs::absolute(settings.backupFolder).lexically_normal();
  for (fs::path& path : settings.protectedPaths) path = fs::absolute(path).lexically_normal();
  // The module creates one missing folder level only.
  if (clean && settings.backup && host.configStore.empty() && !settings.backupFolder.empty()) {
    fs::create_directories(settings.backupFolder);
  }
}

int RunScan(const ScanOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    UseUtf8Output();
    ScanReport report;
    report.clean = options.clean;
    report.folders = CheckedFolders(options.folders);
    if (!hostsim::SetScanRoots(report.folders)) throw Failure{"cannot set TARSK_SCAN_ROOTS"};
    HostOptions hostOptions = options.host;
    PrepareCleanSettings(hostOptions, options.clean);
    {
      JobHost host(hostOptions);
      const hostsim::ScanJobRequest request{options.callerName, kHostCookie, JobOptionBytes(options.clean, hostOptions),
                                            nullptr};
      RunJobWithProgress(
          host.Exports(), options.callerName, /*listBackups=*/!options.json,
          [&](hostsim::ProgressRecorder& recorder) { return hostsim::RunScanJob(host.Exports(), request, recorder); },
          report, out, err);
    }
    return PrintScanReport(report, options.json, out);
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
