// Plugin_Interface_OnNotify: the host's platform events (stop the scans) and
// its updater's questions (which components, at which versions; is a newly
// delivered pattern usable).
//
// Lock order: g_lock, then the session lock. The stop notifications and the
// pattern check hold g_lock (the first so that the driver cannot go while its
// scans are stopped, the second for the life of the temporary driver); the
// version report takes it only inside the exported query and release. None
// of them takes a driver's operation locks, so a scan running meanwhile is
// neither waited for nor touched.
#ifndef ZEVO_SRC_PLUGIN_NOTIFICATIONS_H_
#define ZEVO_SRC_PLUGIN_NOTIFICATIONS_H_

#include <cstdint>

#include "zevo/msg_wrapper.h"

namespace zevo::plugin {

// Notification numbers the plug-in acts on.
inline constexpr std::uint32_t kNotifyStopFirst = 4104;   // 0x1008
inline constexpr std::uint32_t kNotifyStopSecond = 4105;  // 0x1009
inline constexpr std::uint32_t kNotifyNothing = 4106;     // 0x100a
inline constexpr std::uint32_t kNotifyIgnore = 4107;      // 0x100b
inline constexpr std::uint32_t kNotifyComponentList = 4108;
inline constexpr std::uint32_t kNotifyModuleRecord = 4109;
inline constexpr std::uint32_t kNotifyUpdate = 4116;  // 0x1014
inline constexpr std::uint32_t kNotifyStopThird = 4117;
inline constexpr std::uint32_t kNotifyVersions = 4118;  // 0x1016

// Handles one notification; every number answers a result code, and a
// number not handled writes nothing. `input` is read only by 4116, `output`
// written only by 4108, 4109 and 4118.
std::int32_t OnNotify(std::uint32_t notification, ZEVO_DataHandleWrapper* input,
                      ZEVO_DataHandleWrapper* output) noexcept;

// Brings a throw-away driver up on the engine folder's current pattern and
// takes it down again, under g_lock. The first failing status, or that of
// opening the main session and loading the pattern. The serving driver,
// g_pMainSessionHandle and the engine's RCM table stay as they are.
std::int32_t CheckPattern() noexcept;

}  // namespace zevo::plugin

#endif  // ZEVO_SRC_PLUGIN_NOTIFICATIONS_H_
