// `zevo-host restore FILE.tkb`: one restore job through the module — an
// engine interface opens a session and function 7 restores the backup file
// named by its full path — which puts its files back where they were.
#ifndef ZEVO_HOST_CLI_RESTORE_COMMAND_H_
#define ZEVO_HOST_CLI_RESTORE_COMMAND_H_

#include <filesystem>
#include <ostream>
#include <string>

#include "job_host.h"

namespace zevo::cli {

struct RestoreOptions {
  HostOptions host;
  std::filesystem::path backupFile;
  std::string callerName = "zevo-host";
};

// 0 when the backup file was restored; 2 after a message on `err` naming
// the failed step and its result code in hexadecimal. Never throws.
int RunRestore(const RestoreOptions& options, std::ostream& out, std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_RESTORE_COMMAND_H_
