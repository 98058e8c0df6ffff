// Telling the host's scan manager which CallFunc numbers of the engine
// interface answer its queries and name-id-by-table requests.
#ifndef ZEVO_SRC_PLUGIN_COMMAND_REGISTRATION_H_
#define ZEVO_SRC_PLUGIN_COMMAND_REGISTRATION_H_

#include <cstdint>

#include "zevo/organizer.h"

namespace zevo::plugin {

// Layout of the registration message: both function numbers under one
// index, then the module id and the interface id.
inline constexpr std::uint32_t kRegisterFunctionIndex = 131372;   // 0x2012c
inline constexpr std::uint32_t kRegisterModuleIndex = 133073;     // 0x207d1
inline constexpr std::uint32_t kRegisterInterfaceIndex = 133074;  // 0x207d2

// Sends command 14099 (`reg`) or 14100 to the scan manager (module 2,
// interface 21) through `organizer`. kScanManagerUnavailable without a
// table or a connection (nothing sent, nothing logged); otherwise the
// host's answer, a failure logged at level 6 and kNoConnection turned into
// kScanManagerUnavailable.
// REQUIRES: the plug-in's global lock is not held.
std::int32_t RegisterEngineCommands(SPluginInterfaceOrganizer* organizer, bool reg) noexcept;

}  // namespace zevo::plugin

#endif  // ZEVO_SRC_PLUGIN_COMMAND_REGISTRATION_H_
