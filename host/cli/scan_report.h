// What `zevo-host scan` saw, and the two ways of printing it: a table of
// items with a summary, or one JSON document.
#ifndef ZEVO_HOST_CLI_SCAN_REPORT_H_
#define ZEVO_HOST_CLI_SCAN_REPORT_H_

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "sim/scan_job.h"
#include "zevo/records.h"

namespace zevo::cli {

// Exit codes of `zevo-host scan`.
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
  std::string path;     // text 3 + separator + text 2, or text 6
};

struct ScanReport {
  std::vector<std::filesystem::path> folders;
  hostsim::ScanJobResults results;
  std::vector<ScanItem> items;
  std::int64_t filesScanned = 0;  // from the last progress event
  double elapsedSeconds = 0;
  bool interrupted = false;            // Ctrl-C asked for a stop
  std::int32_t stopResult = 0;         // function 8's answer when interrupted

  // Error when a step failed, except the ones a requested stop makes fail.
  int ExitCode() const noexcept;
};

ScanItem ToScanItem(const SPYWARE_ITEM& record);

void PrintScanTable(const ScanReport& report, std::ostream& out);
void PrintScanJson(const ScanReport& report, std::ostream& out);

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_SCAN_REPORT_H_
