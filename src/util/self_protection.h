// The self-protection switches of the system configuration file
// ("system_config.cfg" in the install folder, group "ZEVO_ALL"), among them
// the one that turns the code-signature check of loaded modules on.
#ifndef ZEVO_SRC_UTIL_SELF_PROTECTION_H_
#define ZEVO_SRC_UTIL_SELF_PROTECTION_H_

#include <cstdint>

namespace zevo::util {

// Switch identifiers and the configuration names they read.
inline constexpr std::uint32_t kSpRestartAndRevert = 0x0FF10001;  // ZEVO_CFG_SP_RESTART_ND_REVERT
inline constexpr std::uint32_t kSpModuleLoad = 0x0FF10002;        // ZEVO_CFG_SP_MODULE_LOAD
inline constexpr std::uint32_t kSpMainObjective = 0x0FF10003;     // ZEVO_CFG_SP_MAIN_OBJECTIVE

// Whether the switch `id` is on: the install folder is read from the
// registry (KEY_READ, 64-bit view first), the configuration file there is
// loaded, and the switch's value, read as a decimal number (its leading
// digits after an optional '+'; none counts as 0), equals 1. Anything missing or unreadable, or an
// unknown `id`, gives false. Reads the file on every call.
// Safe for concurrent use.
bool IsSelfProtectionOptionOn(std::uint32_t id) noexcept;

// Whether modules are checked for a code signature before they are loaded
// (kSpModuleLoad). Read once per module lifetime, on the first call, and
// cached; later changes of the file are not seen until the module is
// loaded again. Safe for concurrent use (two first callers may both read the
// file; they store the same answer).
bool IsModuleLoadCheckOn() noexcept;

// The cache behind IsModuleLoadCheckOn: 0 not yet read, 1 on, 10 off.
inline constexpr std::int32_t kModuleLoadCheckUnknown = 0;
inline constexpr std::int32_t kModuleLoadCheckOn = 1;
inline constexpr std::int32_t kModuleLoadCheckOff = 10;

// For tests only: the cache's value, and setting it (to force the switch, or
// to kModuleLoadCheckUnknown to have it read again).
std::int32_t ModuleLoadCheckCacheForTesting() noexcept;
void SetModuleLoadCheckCacheForTesting(std::int32_t value) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_SELF_PROTECTION_H_
