#include "referential_command.h"

#include <algorithm>

#include "console.h"
#include "info_report.h"
#include "job_run.h"
#include "module_open.h"
#include "scan_command.h"
#include "scan_report.h"
#include "sim/referential_job.h"
#include "sim/scan_job.h"

namespace zevo::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kHostCookie = 0x7a65766f72656672;  // "zevoref"

// Absolute, normalised and each once: the engine refuses a reference it was
// given before.
std::vector<fs::path> CheckedPaths(const std::vector<fs::path>& given) {
  std::vector<fs::path> paths;
  for (const fs::path& path : given) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) throw Failure{"not found: " + PathText(path)};
    fs::path full = fs::absolute(path).lexically_normal();
    // "dir/" names the folder itself; its parent is the folder above.
    if (!full.has_filename() && full.has_relative_path()) full = full.parent_path();
    if (std::find(paths.begin(), paths.end(), full) == paths.end()) paths.push_back(std::move(full));
  }
  if (paths.empty()) throw Failure{"no reference given"};
  return paths;
}

std::vector<fs::path> ParentFolders(const std::vector<fs::path>& paths) {
  std::vector<fs::path> folders;
  for (const fs::path& path : paths) {
    const fs::path parent = path.has_relative_path() ? path.parent_path() : path;
    if (std::find(folders.begin(), folders.end(), parent) == folders.end()) folders.push_back(parent);
  }
  return folders;
}

hostsim::ReferentialJobRequest MakeRequest(const ReferentialOptions& options, const std::vector<fs::path>& paths,
                                           const HostOptions& host) {
  hostsim::ReferentialJobRequest request;
  request.callerName = options.callerName;
  request.cookie = kHostCookie;
  request.options = JobOptionBytes(options.clean, host);
  for (const fs::path& path : paths) {
    hostsim::Reference reference{path.u16string(), u"", kReferenceNote};
    if (!hostsim::MakeReferentialItem(reference)) throw Failure{"path too long for a reference: " + PathText(path)};
    request.references.push_back(std::move(reference));
  }
  return request;
}

// The referential job's steps in the scan's terms; the adds go to the report.
hostsim::ScanJobResults MapResults(const hostsim::ReferentialJobResults& results, ScanReport& report) {
  for (std::size_t i = 0; i < report.references.size() && i < results.add.size(); ++i) {
    report.references[i].result = results.add[i];
  }
  return {results.obtained, results.open, results.setSink, results.scan, results.close};
}

}  // namespace

int RunReferential(const ReferentialOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    UseUtf8Output();
    ScanReport report;
    report.kind = JobKind::kReferential;
    report.clean = options.clean;
    const std::vector<fs::path> paths = CheckedPaths(options.paths);
    for (const fs::path& path : paths) report.references.push_back({PathText(path)});
    report.folders = ParentFolders(paths);
    if (!hostsim::SetScanRoots(report.folders)) throw Failure{"cannot set TARSK_SCAN_ROOTS"};
    HostOptions hostOptions = options.host;
    PrepareCleanSettings(hostOptions, options.clean);
    const hostsim::ReferentialJobRequest request = MakeRequest(options, paths, hostOptions);
    {
      JobHost host(hostOptions);
      RunJobWithProgress(
          host.Exports(), options.callerName, /*listBackups=*/!options.json,
          [&](hostsim::ProgressRecorder& recorder) {
            return MapResults(hostsim::RunReferentialJob(host.Exports(), request, recorder), report);
          },
          report, out, err);
    }
    return PrintScanReport(report, options.json, out);
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

}  // namespace zevo::cli
