// The module of a zevo-host command, loaded with all ten exports.
#ifndef ZEVO_HOST_CLI_MODULE_OPEN_H_
#define ZEVO_HOST_CLI_MODULE_OPEN_H_

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "sim/plugin_module.h"

namespace zevo::cli {

// A failed step of a command: what to tell the person.
struct Failure {
  std::string message;
};

// Writes "zevo-host: <what went wrong>" for the exception being handled.
// REQUIRES: called inside a catch block.
void ReportCurrentFailure(std::ostream& err) noexcept;

// Throws Failure when the module cannot be loaded or lacks an export.
hostsim::PluginModule LoadModule(const std::filesystem::path& file);

// The message for a failed Plugin_Interface_PostInitialize; it names a
// missing engine library.
std::string StartFailure(std::int32_t code, const std::filesystem::path& engineFolder);

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_MODULE_OPEN_H_
