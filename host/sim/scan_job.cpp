#include "sim/scan_job.h"

#include <exception>

#include "sim/engine_object.h"
#include "sim/environment.h"
#include "zevo/identity.h"
#include "zevo/result.h"

namespace zevo::hostsim {

std::int32_t ScanJobResults::FirstFailure() const noexcept {
  if (!obtained) return kNoEngineInterface;
  for (const std::int32_t result : {open, setSink, scan, close}) {
    if (result != kNotRun && Failed(result)) return result;
  }
  return 0;
}

ScanJobResults RunScanJob(const PluginExportTable& exports, const ScanJobRequest& request,
                          ProgressRecorder& sink) noexcept {
  ScanJobResults results;
  const ZEVO_OpenBlock open{request.context, request.callerName.c_str(), request.cookie};
  RunSessionJob(exports, open, sink, results, [&](const EngineObject& engine) {
    ZEVO_ScanOptions options = request.options;
    results.scan = engine.Call(kFnStartScan, &options);
  });
  return results;
}

std::int32_t StopScansByName(const PluginExportTable& exports, const std::string& callerName) noexcept {
  EngineObject engine(exports);
  if (!engine) return kNoEngineInterface;
  const char* name = callerName.c_str();
  return engine.Call(kFnStopScanByName, &name);
}

bool SetScanRoots(const std::vector<std::filesystem::path>& folders) noexcept {
  try {
    std::filesystem::path::string_type roots;
    for (const std::filesystem::path& folder : folders) {
      if (!roots.empty()) roots += kPathListSeparator;
      roots += std::filesystem::absolute(folder).lexically_normal().native();
    }
    return SetEnvironmentText("TARSK_SCAN_ROOTS", roots);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zevo::hostsim
