// One restore job as the platform runs it: an engine interface (100011),
// function 0 with the caller name and cookie, function 7 with the full path
// of a backup file, function 1, release. The module must be started.
#ifndef ZEVO_HOST_SIM_RESTORE_JOB_H_
#define ZEVO_HOST_SIM_RESTORE_JOB_H_

#include <cstdint>
#include <string>

#include "zevo/plugin_exports.h"
#include "zevo/records.h"

namespace zevo::hostsim {

struct RestoreJobRequest {
  std::string callerName;
  std::uint64_t cookie = 0;
  std::u16string backupFile;  // full path, the platform's separators
  const ZEVO_Context* context = nullptr;
};

// The result of each step; a step not reached keeps kNotRun.
struct RestoreJobResults {
  static constexpr std::int32_t kNotRun = 0x7fffffff;
  bool obtained = false;
  std::int32_t open = kNotRun;
  std::int32_t restore = kNotRun;
  std::int32_t close = kNotRun;

  // The first step that failed, with its result; 0 when none did.
  std::int32_t FirstFailure() const noexcept;
};

// Runs the job on the calling thread. Function 1 follows function 0 whatever
// it answered; function 7 runs only on an open session, and an empty path or
// one with a NUL inside is answered 0xe0ff0007 without calling it.
RestoreJobResults RunRestoreJob(const PluginExportTable& exports, const RestoreJobRequest& request) noexcept;

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_RESTORE_JOB_H_
