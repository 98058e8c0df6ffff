// `zevo-host info`: loads the module with the reference engine, starts it,
// reads its identity and the engine's and the pattern's versions, stops it,
// and prints what it saw.
#ifndef ZEVO_HOST_CLI_INFO_COMMAND_H_
#define ZEVO_HOST_CLI_INFO_COMMAND_H_

#include <filesystem>
#include <ostream>

namespace zevo::cli {

struct InfoOptions {
  std::filesystem::path module;        // the plug-in module file
  std::filesystem::path engineFolder;  // the folder that holds tarsk64.dll
  std::filesystem::path configStore;   // JSON store; empty: a temporary one
};

// The exit code: 0 when every step succeeded, otherwise 1 after a message
// on `err`. Never throws.
int RunInfo(const InfoOptions& options, std::ostream& out, std::ostream& err) noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_INFO_COMMAND_H_
