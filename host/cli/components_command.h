// `zevo-host components` and `zevo-host update-pattern`: the module's
// updatable parts as the platform's updater sees them (notifications 4108,
// 4109, 4118), and taking a new pattern into use the way that updater would
// (notification 4116), so that a pattern the engine refuses never stays.
#ifndef ZEVO_HOST_CLI_COMPONENTS_COMMAND_H_
#define ZEVO_HOST_CLI_COMPONENTS_COMMAND_H_

#include <filesystem>
#include <ostream>

#include "job_host.h"

namespace zevo::cli {

// Exit 0 when every notification succeeded, else 2 after a message on `err`.
int RunComponents(const HostOptions& host, bool json, std::ostream& out, std::ostream& err) noexcept;

// Exit 0 when the new pattern passed the check and is in use; 2 with the
// check's code when it failed (the old pattern is back, byte for byte) or
// when a step failed (nothing was changed, or the old pattern is back).
int RunUpdatePattern(const HostOptions& host, const std::filesystem::path& pattern, std::ostream& out,
                     std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_COMPONENTS_COMMAND_H_
