// Result codes that cross the plug-in's boundaries. C++20 only.
//
// A result code is a 32-bit status; a negative value (top bit set) is a
// failure. Bits 16..23 name the facility: 0x0c this module, 0xff the
// platform's common codes, 0x30 mapped engine statuses, 0x18 the session
// lookup by caller name.
#ifndef ZEVO_RESULT_H
#define ZEVO_RESULT_H

#include <cstdint>

namespace zevo {

namespace detail {
// The codes are written as unsigned hexadecimal, as the platform documents them; the
// conversion to int32_t is modular (C++20).
constexpr std::int32_t Code(std::uint32_t bits) noexcept { return static_cast<std::int32_t>(bits); }
}  // namespace detail

// --- Successes -------------------------------------------------------------
// Success of the module's own operations.
inline constexpr std::int32_t kOk = detail::Code(0x200c0000u);
// Event 1001: the item was cleaned (its result flags have bit 1 set).
inline constexpr std::int32_t kItemCleaned = detail::Code(0x200c0001u);
// Success of queries, configuration and utility operations; also "driver
// already initialised".
inline constexpr std::int32_t kCommonOk = detail::Code(0x20ff0000u);
// Success: the engine driver already exists (EnsureEngineDriver).
inline constexpr std::int32_t kDriverExists = detail::Code(0x20ff000eu);
// Informational result of the stop notifications 4104, 4105, 4117.
inline constexpr std::int32_t kNotifyScansStopped = detail::Code(0x60ff0012u);
// Informational result of notification 4107, which does nothing.
inline constexpr std::int32_t kNotifyIgnored = detail::Code(0x60ff0013u);

// --- Failures of this module (facility 0x0c) -------------------------------
// The engine library is not loaded and bound.
inline constexpr std::int32_t kEngineNotReady = detail::Code(0xe00c0001u);
// Event 1001: the item was not cleaned.
inline constexpr std::int32_t kItemNotCleaned = detail::Code(0xe00c0003u);
// Formatting a number into text failed.
inline constexpr std::int32_t kFormatFailed = detail::Code(0xe00c0004u);
// A required argument is missing, a company was not found, or a query code
// is not supported.
inline constexpr std::int32_t kArgumentMissing = detail::Code(0xe00c0005u);
// The backup folder is empty or cannot be created.
inline constexpr std::int32_t kBackupFolderFailed = detail::Code(0xe00c0006u);
// The driver was not created, the engine folder was not found, or the engine
// library could not be loaded.
inline constexpr std::int32_t kEngineLoadFailed = detail::Code(0xe00c0007u);
// Refused: a stop was requested for this interface object.
inline constexpr std::int32_t kStopRequested = detail::Code(0xe00c000au);
// The scan manager could not be reached to (un)register the commands.
inline constexpr std::int32_t kScanManagerUnavailable = detail::Code(0xe00c000bu);

// --- The platform's common failures (facility 0xff) -------------------------
// Unspecified failure; no interface object given to Plugin_Interface_CallFunc.
inline constexpr std::int32_t kFail = detail::Code(0xe0ff0001u);
// Function or notification number not handled.
inline constexpr std::int32_t kNotHandled = detail::Code(0xe0ff0002u);
// Unsupported operation, missing key, failed conversion or missing argument.
inline constexpr std::int32_t kUnsupported = detail::Code(0xe0ff0007u);
// A host connection (PluginInterfaceClass) without handle.
inline constexpr std::int32_t kNoConnection = detail::Code(0xe0ff000du);
// The company table gave an empty reply.
inline constexpr std::int32_t kEmptyReply = detail::Code(0xe0ff000fu);
// The engine interface could not be obtained (notification 4118).
inline constexpr std::int32_t kNoEngineInterface = detail::Code(0xe0ff0010u);
// Event 1001: the host's file check kept the item out of cleaning.
inline constexpr std::int32_t kKeptByFileCheck = detail::Code(0xe0ff0030u);

// --- Other facilities --------------------------------------------------------
// No session is open under the given caller name (StopScanByName).
inline constexpr std::int32_t kNoSessionForName = detail::Code(0xe018000au);
// A table enumeration returned a negative enumeration handle.
inline constexpr std::int32_t kBadEnumerationHandle = detail::Code(0xe030f82eu);

// Facility bits of a mapped engine status; MapEngineStatus ORs them in.
inline constexpr std::int32_t kEngineStatusFailureBase = detail::Code(0xe0300000u);
// The success-class form used for the engine's warnings -100/-101 of
// TKAddReferentialScanItem: (r & 0xffff) | 0x20300000.
inline constexpr std::int32_t kEngineStatusWarningBase = detail::Code(0x20300000u);

constexpr bool Failed(std::int32_t result) noexcept { return result < 0; }
constexpr bool Succeeded(std::int32_t result) noexcept { return result >= 0; }

// The result code of a failing engine status r: (r & 0xffff) | 0xe0300000.
constexpr std::int32_t MapEngineStatus(std::int32_t r) noexcept {
  return detail::Code((static_cast<std::uint32_t>(r) & 0xffffu) | 0xe0300000u);
}

// The success-class code of an engine warning r: (r & 0xffff) | 0x20300000.
constexpr std::int32_t MapEngineWarning(std::int32_t r) noexcept {
  return detail::Code((static_cast<std::uint32_t>(r) & 0xffffu) | 0x20300000u);
}

static_assert(MapEngineStatus(-2002) == kBadEnumerationHandle);
static_assert(MapEngineWarning(-100) == detail::Code(0x2030ff9cu));
static_assert(MapEngineWarning(-101) == detail::Code(0x2030ff9bu));
static_assert(Failed(kEngineNotReady) && Succeeded(kOk) && Succeeded(kNotifyIgnored));

}  // namespace zevo

#endif  // ZEVO_RESULT_H
