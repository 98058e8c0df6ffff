#include "info_report.h"

#include <cstdio>
#include <iomanip>

#include "common/utf.h"
#include "zevo/organizer.h"

namespace zevo::cli {
namespace {

std::string Join(const std::vector<std::int32_t>& values) {
  std::string text;
  for (const std::int32_t value : values) {
    if (!text.empty()) text += ", ";
    text += std::to_string(value);
  }
  return text.empty() ? "none" : text;
}

void PrintCommand(const hostsim::ReceivedCommand& command, std::ostream& out) {
  out << (command.function == ZEVO_SCAN_MANAGER_FN_REGISTER ? "  register   " : "  unregister ") << command.function
      << " -> " << Hex(command.answer);
  if (!command.liveMessage) {
    out << ", no message\n";
    return;
  }
  out << ": functions " << Join(command.commands) << " of module " << Join(command.moduleIds) << ", interface "
      << Join(command.interfaceIds) << '\n';
}

}  // namespace

std::string Hex(std::int32_t code) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08x", static_cast<unsigned>(code));
  return text;
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void PrintInfo(const InfoReport& report, std::ostream& out) {
  out << "Module          " << PathText(report.module) << '\n'
      << "  module id     " << report.moduleId << " (" << Hex(static_cast<std::int32_t>(report.moduleId)) << ")\n"
      << "  version       " << report.version.major << '.' << report.version.minor << '.' << report.version.build
      << '\n'
      << "Engine folder   " << PathText(report.engineFolder) << '\n'
      << "  engine        " << host::Utf16ToUtf8(report.engineVersion) << '\n'
      << "  pattern       " << host::Utf16ToUtf8(report.patternVersion) << '\n'
      << "  status object " << (report.statusInterface ? "handed out" : "refused") << '\n'
      << "Configuration   " << PathText(report.configStore) << '\n'
      << "Scan manager\n";
  for (const hostsim::ReceivedCommand& command : report.commands) PrintCommand(command, out);
  out << "Start-up        Initialize " << Hex(report.initialize) << ", PostInitialize " << Hex(report.postInitialize)
      << " in " << std::fixed << std::setprecision(3) << report.postInitializeMs << " ms\n"
      << "Stop            PreUninitialize " << Hex(report.preUninitialize) << ", Uninitialize "
      << Hex(report.uninitialize) << '\n';
}

}  // namespace zevo::cli
