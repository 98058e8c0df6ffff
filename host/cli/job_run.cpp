#include "job_run.h"

#include <atomic>
#include <chrono>

#include "common/utf.h"
#include "console.h"
#include "progress_line.h"

namespace zevo::cli {

void RunJobWithProgress(const PluginExportTable& exports, const std::string& callerName, bool listBackups,
                        const JobFunction& job, ScanReport& report, std::ostream& out, std::ostream& err) {
  ProgressLine progress(err, StderrIsTerminal());
  hostsim::ProgressRecorder recorder([&](const hostsim::ProgressReport& r) {
    progress.OnReport(r);
    if (listBackups && r.event == hostsim::kEventBackupFile && r.hadData) {
      progress.Print(out, "backup " + host::Utf16ToUtf8(r.text) + " (" + host::Utf16ToUtf8(r.company) + ")");
    }
  });
  std::atomic<std::int32_t> stopResult{0};
  const auto started = std::chrono::steady_clock::now();
  {
    InterruptWatcher watcher([&] { stopResult.store(hostsim::StopScansByName(exports, callerName)); });
    report.results = job(recorder);
    report.interrupted = watcher.Interrupted();
  }
  report.elapsedSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report.stopResult = stopResult.load();
  progress.Finish();
  CollectReports(recorder.Reports(), report);
}

}  // namespace zevo::cli
