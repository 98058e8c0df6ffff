// One job of `zevo-host scan` or `zevo-host referential` on a started
// module: a recording progress sink, live progress on stderr, backup files
// listed as they arrive, Ctrl-C turned into function 8 with the caller
// name, and what the job reported collected into the report.
#ifndef ZEVO_HOST_CLI_JOB_RUN_H_
#define ZEVO_HOST_CLI_JOB_RUN_H_

#include <functional>
#include <ostream>
#include <string>

#include "scan_report.h"
#include "sim/progress_recorder.h"
#include "sim/scan_job.h"
#include "zevo/plugin_exports.h"

namespace zevo::cli {

// Runs the job and returns its step results (a referential job maps its
// own onto the scan's). Called on this thread.
using JobFunction = std::function<hostsim::ScanJobResults(hostsim::ProgressRecorder&)>;

// With `listBackups`, each backup file is written to `out` as a line
// "backup <file> (<company>)" the moment the module announces it.
void RunJobWithProgress(const PluginExportTable& exports, const std::string& callerName, bool listBackups,
                        const JobFunction& job, ScanReport& report, std::ostream& out, std::ostream& err);

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_JOB_RUN_H_
