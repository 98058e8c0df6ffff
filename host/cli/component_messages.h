// The host's side of the notification messages: what the plug-in's answers
// to 4108, 4109 and 4118 say, and the update request 4116 sends.
#ifndef ZEVO_HOST_CLI_COMPONENT_MESSAGES_H_
#define ZEVO_HOST_CLI_COMPONENT_MESSAGES_H_

#include <cstdint>
#include <string>
#include <vector>

#include "zevo/plugin_exports.h"

namespace zevo::cli {

struct ComponentEntry {
  std::int32_t kind = 0;
  std::int32_t id = 0;
  std::uint32_t value7 = 0;
  std::int32_t value8 = 0;
  std::u16string location;
  std::uint32_t flag = 0;
};

struct ComponentVersion {
  std::int32_t kind = 0;
  std::int32_t id = 0;
  std::u16string version;
  std::u16string location;
};

struct Components {
  std::int32_t listResult = 0;
  std::int32_t recordResult = 0;
  std::int32_t versionsResult = 0;
  std::vector<ComponentEntry> list;
  std::vector<std::uint32_t> record;  // fields 1 to 7 as sent
  std::vector<ComponentVersion> versions;
};

// Sends 4108, 4109 and 4118 to a started module.
Components QueryComponents(const PluginExportTable& module);
// Only 4118.
std::int32_t QueryVersions(const PluginExportTable& module, std::vector<ComponentVersion>& versions);
// Sends 4116 for the pattern file; the check's result.
std::int32_t CheckPatternUpdate(const PluginExportTable& module);

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_COMPONENT_MESSAGES_H_
