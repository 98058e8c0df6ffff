// `zevo-host referential [--clean [--no-backup]] PATH...`: one referential
// scan job through the module. Each PATH (a file or a folder) becomes one
// reference — its full path, an empty glob (all related files) and a note —
// and the engine's scan roots are the paths' parent folders, which hold the
// references as the engine requires.
#ifndef ZEVO_HOST_CLI_REFERENTIAL_COMMAND_H_
#define ZEVO_HOST_CLI_REFERENTIAL_COMMAND_H_

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "job_host.h"

namespace zevo::cli {

// The note every reference of zevo-host carries (the engine's text 5).
inline constexpr char16_t kReferenceNote[] = u"zevo-host referential";

struct ReferentialOptions {
  HostOptions host;
  std::vector<std::filesystem::path> paths;  // at least one
  std::string callerName = "zevo-host";
  bool json = false;
  bool clean = false;
};

// Exit codes as `scan`: 0 nothing related found, 1 items found, 2 error
// (a missing path, a reference the engine did not take, a failed step).
int RunReferential(const ReferentialOptions& options, std::ostream& out, std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_REFERENTIAL_COMMAND_H_
