// One scan job run through the module the way the platform's scan manager
// runs it: an engine interface (100011), function 0 with the caller name and
// cookie, function 5 with the progress sink, function 2, function 1, release.
// The module must be started (PostInitialize) before and stopped after.
#ifndef ZEVO_HOST_SIM_SCAN_JOB_H_
#define ZEVO_HOST_SIM_SCAN_JOB_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/progress_recorder.h"
#include "zevo/plugin_exports.h"
#include "zevo/records.h"

namespace zevo::hostsim {

struct ScanJobRequest {
  std::string callerName;             // the session's name; function 8 stops by it
  std::uint64_t cookie = 0;           // handed back with every report
  ZEVO_ScanOptions options{0, 0, 0};  // clean, clean cookies, backup
  const ZEVO_Context* context = nullptr;
};

// The result of each step; a step not reached keeps kNotRun.
struct ScanJobResults {
  static constexpr std::int32_t kNotRun = 0x7fffffff;
  bool obtained = false;  // QueryInterface handed out an object
  std::int32_t open = kNotRun;
  std::int32_t setSink = kNotRun;
  std::int32_t scan = kNotRun;
  std::int32_t close = kNotRun;

  // The first step that failed, with its result; 0 when none did.
  std::int32_t FirstFailure() const noexcept;
};

// Runs the job on the calling thread. Function 1 follows function 0 whatever
// function 0 answered (a failing open may have left a session open); the
// object is released right after, and then `sink` is sealed.
ScanJobResults RunScanJob(const PluginExportTable& exports, const ScanJobRequest& request,
                          ProgressRecorder& sink) noexcept;

// Function 8 on an object of its own: stops the scans of every session opened
// with `callerName`. Safe to call from any thread while the module runs.
std::int32_t StopScansByName(const PluginExportTable& exports, const std::string& callerName) noexcept;

// Points the reference engine at `folders` (TARSK_SCAN_ROOTS, absolute paths
// joined with the platform's list separator). Not safe while another thread
// reads the environment.
bool SetScanRoots(const std::vector<std::filesystem::path>& folders) noexcept;

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_SCAN_JOB_H_
