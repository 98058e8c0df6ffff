// What `zevo-host scan` and `zevo-host referential` saw, and the two ways
// of printing it: a table of items with a summary, or one JSON document.
#ifndef ZEVO_HOST_CLI_SCAN_REPORT_H_
#define ZEVO_HOST_CLI_SCAN_REPORT_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/progress_recorder.h"
#include "sim/scan_job.h"
#include "zevo/records.h"

namespace zevo::cli {

// Exit codes of `zevo-host scan`, `referential` and `restore`.
inline constexpr int kExitClean = 0;
inline constexpr int kExitItemsFound = 1;
inline constexpr int kExitError = 2;

// One reported item, in the host's words.
struct ScanItem {
  std::int32_t itemId = 0;
  std::string name;     // text 1
  std::string company;  // company name; empty when the module knew none
  std::int32_t threatLevel = 0;
  std::int32_t threatTypeId = 0;
  std::uint32_t kind = 0;
  std::string path;                         // text 3 + separator + text 2, or text 6
  bool detected = true;                     // reported as found (event 2), not only as cleaned
  std::optional<std::int32_t> cleanResult;  // the result code of its event 1001
};

// A backup file as the module announced it (event 1000).
struct BackupFile {
  std::string file;
  std::string company;
};

// A reference of a referential scan and what function 3 answered.
struct ReferenceResult {
  std::string path;
  std::int32_t result = hostsim::ScanJobResults::kNotRun;
};

enum class JobKind { kScan, kReferential };

struct ScanReport {
  JobKind kind = JobKind::kScan;
  bool clean = false;  // cleaning was asked for
  std::vector<std::filesystem::path> folders;
  std::vector<ReferenceResult> references;  // referential jobs only
  hostsim::ScanJobResults results;
  std::vector<ScanItem> items;
  std::vector<BackupFile> backups;  // in the order they arrived
  std::int64_t filesScanned = 0;    // from the last progress event
  double elapsedSeconds = 0;
  bool interrupted = false;     // Ctrl-C asked for a stop
  std::int32_t stopResult = 0;  // function 8's answer when interrupted

  // Error when a step failed, except the ones a requested stop makes fail;
  // a reference the engine did not take (0x2030ff9b) is an error too.
  int ExitCode() const noexcept;
};

ScanItem ToScanItem(const SPYWARE_ITEM& record);

// Fills the report's items (found items, each with the result of its
// cleaning; items reported only as cleaned, such as references, added),
// backup files and files scanned from the recorded reports, items sorted by
// path.
void CollectReports(const std::vector<hostsim::ProgressReport>& reports, ScanReport& report);

// "cleaned", "kept (file check)", ... for an event 1001 result code.
std::string CleanResultText(std::int32_t code);

void PrintScanTable(const ScanReport& report, std::ostream& out);
void PrintScanJson(const ScanReport& report, std::ostream& out);
// The report as JSON or as the table; answers the command's exit code.
int PrintScanReport(const ScanReport& report, bool json, std::ostream& out);

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_SCAN_REPORT_H_
