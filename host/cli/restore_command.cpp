#include "restore_command.h"

#include "console.h"
#include "info_report.h"
#include "module_open.h"
#include "scan_report.h"
#include "sim/restore_job.h"
#include "zevo/result.h"

namespace zevo::cli {
namespace {

constexpr std::uint64_t kHostCookie = 0x7a65766f72657374;  // "zevorest"

bool Reached(std::int32_t result) { return result != hostsim::RestoreJobResults::kNotRun; }

// The message for a job that did not restore the file.
std::string FailureText(const hostsim::RestoreJobResults& r, const std::string& file) {
  const std::string head = "restore of " + file + " failed: ";
  if (!r.obtained) return head + "the module handed out no engine interface (100011)";
  if (Failed(r.open)) return head + "function 0 returned " + Hex(r.open);
  if (Reached(r.restore) && Failed(r.restore)) return head + "function 7 returned " + Hex(r.restore);
  return head + "function 1 returned " + Hex(r.close);
}

}  // namespace

int RunRestore(const RestoreOptions& options, std::ostream& out, std::ostream& err) noexcept {
  try {
    UseUtf8Output();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(options.backupFile, ec)) {
      throw Failure{"not a file: " + PathText(options.backupFile)};
    }
    const std::filesystem::path file = std::filesystem::absolute(options.backupFile).lexically_normal();
    hostsim::RestoreJobResults results;
    {
      JobHost host(options.host);
      results = hostsim::RunRestoreJob(host.Exports(), {options.callerName, kHostCookie, file.u16string(), nullptr});
    }
    if (results.FirstFailure() != 0) throw Failure{FailureText(results, PathText(file))};
    out << "restored " << PathText(file) << " (function 7: " << Hex(results.restore) << ")\n";
    return 0;
  } catch (...) {
    ReportCurrentFailure(err);
  }
  return kExitError;
}

}  // namespace zevo::cli
