// `zevo-host scan [PATH...]`: one scan job through the module with the
// reference engine scanning the given folders, as the platform's scan
// manager runs it; and `zevo-host samples DIR`.
#ifndef ZEVO_HOST_CLI_SCAN_COMMAND_H_
#define ZEVO_HOST_CLI_SCAN_COMMAND_H_

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace zevo::cli {

struct ScanOptions {
  std::filesystem::path module;
  std::filesystem::path engineFolder;
  std::filesystem::path configStore;          // empty: a temporary one
  std::vector<std::filesystem::path> folders;  // empty: the current folder
  std::string callerName = "zevo-host";
  bool json = false;
};

// The exit code (scan_report.h): 0 nothing found, 1 items found, 2 error
// (after a message on `err`). Progress goes to `err`. Never throws.
int RunScan(const ScanOptions& options, std::ostream& out, std::ostream& err) noexcept;

// Writes the reference engine's sample tree into `folder`: 0, or 2 after a
// message on `err`.
int RunSamples(const std::filesystem::path& folder, std::ostream& out, std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_SCAN_COMMAND_H_
