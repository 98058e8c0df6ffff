// Statuses of the engine's entry points: 0 = success, negative = failure.
// engine/README.md lists them; tests pin them.
#ifndef TARSK_STATUS_H_
#define TARSK_STATUS_H_

#include <cstdint>

namespace tarsk {

inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kInvalidArgument = -1;
inline constexpr std::int32_t kInvalidHandle = -2;
inline constexpr std::int32_t kNotSupported = -3;
inline constexpr std::int32_t kStopped = -4;         // TKScan interrupted by TKStopScan
inline constexpr std::int32_t kNoPattern = -5;       // the session has no pattern
inline constexpr std::int32_t kPatternInvalid = -6;  // pattern file missing or malformed
inline constexpr std::int32_t kIoError = -7;
inline constexpr std::int32_t kBackupCorrupt = -8;  // .tkb malformed or tampered with
inline constexpr std::int32_t kTargetExists = -9;   // restore target exists, other content
inline constexpr std::int32_t kBusy = -10;          // a scan already runs on the session
inline constexpr std::int32_t kBufferTooSmall = -11;
inline constexpr std::int32_t kInternal = -12;      // out of memory or unexpected failure
inline constexpr std::int32_t kNoMoreRows = -1000;  // end of an enumeration
inline constexpr std::int32_t kNoRow = -2000;       // TKGetRowById: the key has no row
inline constexpr std::int32_t kReferenceDuplicate = -100;
inline constexpr std::int32_t kReferenceMissing = -101;

}  // namespace tarsk

#endif  // TARSK_STATUS_H_
