// What `zevo-host info` gathers from one run of the module, and its
// printed form.
#ifndef ZEVO_HOST_CLI_INFO_REPORT_H_
#define ZEVO_HOST_CLI_INFO_REPORT_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/scan_manager.h"
#include "zevo/identity.h"

namespace zevo::cli {

struct InfoReport {
  std::filesystem::path module;
  std::filesystem::path engineFolder;
  std::filesystem::path configStore;
  std::int32_t initialize = 0;
  std::int32_t postInitialize = 0;
  double postInitializeMs = 0;
  std::uint32_t moduleId = 0;
  VersionInfo version{};
  std::int32_t patternResult = 0;
  std::int32_t engineResult = 0;
  std::u16string patternVersion;
  std::u16string engineVersion;
  bool statusInterface = false;
  std::int32_t preUninitialize = 0;
  std::int32_t uninitialize = 0;
  // Register and unregister commands, as the scan manager received them.
  std::vector<hostsim::ReceivedCommand> commands;
};

// "0x" and eight lower-case hexadecimal digits.
std::string Hex(std::int32_t code);
std::string PathText(const std::filesystem::path& path);

void PrintInfo(const InfoReport& report, std::ostream& out);

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_INFO_REPORT_H_
