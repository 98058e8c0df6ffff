// `zevo-host scan [--clean [--no-backup]] [PATH...]`: one scan job through
// the module with the reference engine scanning the given folders, as the
// platform's scan manager runs it; and `zevo-host samples DIR`.
#ifndef ZEVO_HOST_CLI_SCAN_COMMAND_H_
#define ZEVO_HOST_CLI_SCAN_COMMAND_H_

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "job_host.h"
#include "zevo/records.h"

namespace zevo::cli {

struct ScanOptions {
  HostOptions host;
  std::vector<std::filesystem::path> folders;  // empty: the current folder
  std::string callerName = "zevo-host";
  bool json = false;
  // Clean what is found; host.settings says whether with a backup, where it
  // goes and which paths the file check protects.
  bool clean = false;
};

// The option bytes of functions 2 and 4: cleaning of both kinds; backup
// byte 1 with the temporary store unless --no-backup, otherwise 0 (the
// store's backup switches decide).
ZEVO_ScanOptions JobOptionBytes(bool clean, const HostOptions& host) noexcept;

// Makes the backup folder and the protected paths absolute and creates the
// backup folder when a cleaning run with a temporary store makes backups.
void PrepareCleanSettings(HostOptions& host, bool clean);

// The exit code (scan_report.h): 0 nothing found, 1 items found, 2 error
// (after a message on `err`). Progress goes to `err`. Never throws.
int RunScan(const ScanOptions& options, std::ostream& out, std::ostream& err) noexcept;

// Writes the reference engine's sample tree into `folder`: 0, or 2 after a
// message on `err`.
int RunSamples(const std::filesystem::path& folder, std::ostream& out, std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_SCAN_COMMAND_H_
