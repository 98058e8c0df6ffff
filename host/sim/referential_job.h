// One referential scan job as the platform runs it: an engine interface
// (100011), function 0 with the caller name and cookie, function 5 with the
// progress sink, function 3 for each reference, function 4 with the option
// bytes, function 1, release. The module must be started, and the engine's
// scan roots must hold every reference (SetScanRoots).
#ifndef ZEVO_HOST_SIM_REFERENTIAL_JOB_H_
#define ZEVO_HOST_SIM_REFERENTIAL_JOB_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/progress_recorder.h"
#include "zevo/plugin_exports.h"
#include "zevo/records.h"

namespace zevo::hostsim {

// One reference in the host's words.
struct Reference {
  std::u16string first;   // full path of a reference file or folder
  std::u16string second;  // file-name glob of the related files; empty: all
  std::u16string third;   // a note the engine copies into its items
};

// The record of function 3, or nothing when a text holds a NUL or does not
// fit its 261 characters: a cut path would name another file.
std::optional<ZEVO_ReferentialItem> MakeReferentialItem(const Reference& reference) noexcept;

struct ReferentialJobRequest {
  std::string callerName;
  std::uint64_t cookie = 0;
  ZEVO_ScanOptions options{0, 0, 0};  // clean, clean cookies, backup
  std::vector<Reference> references;
  const ZEVO_Context* context = nullptr;
};

// The result of each step; a step not reached keeps kNotRun. `add` holds
// one result per reference, in order; a reference that does not fit its
// record is answered 0xe0ff0007 without calling function 3.
struct ReferentialJobResults {
  static constexpr std::int32_t kNotRun = 0x7fffffff;
  bool obtained = false;
  std::int32_t open = kNotRun;
  std::int32_t setSink = kNotRun;
  std::vector<std::int32_t> add;
  std::int32_t scan = kNotRun;
  std::int32_t close = kNotRun;

  // The first step that failed, with its result; 0 when none did.
  std::int32_t FirstFailure() const noexcept;
};

// Runs the job on the calling thread. Function 4 runs only when every
// reference was added (a success-class warning counts as added); function 1
// follows function 0 whatever it answered; `sink` is sealed after the
// release.
ReferentialJobResults RunReferentialJob(const PluginExportTable& exports, const ReferentialJobRequest& request,
                                        ProgressRecorder& sink) noexcept;

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_REFERENTIAL_JOB_H_
