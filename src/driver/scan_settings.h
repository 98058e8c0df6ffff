// The scan settings an engine interface object hands to the driver's scans:
// configuration key -> the object's member that holds the key's value.
#ifndef ZEVO_SRC_DRIVER_SCAN_SETTINGS_H_
#define ZEVO_SRC_DRIVER_SCAN_SETTINGS_H_

#include <cstdint>
#include <map>
#include <string>
#include <variant>

namespace zevo::driver {

// Configuration keys of the scan settings.
inline constexpr std::uint32_t kKeyBackupSwitch = 0x12711000u;
inline constexpr std::uint32_t kKeyBackupEnabled = 0x10c10000u;
inline constexpr std::uint32_t kKeyBackupFolder = 0x10c20001u;
inline constexpr std::uint32_t kKeyExclusionList = 0x10f20004u;
inline constexpr std::uint32_t kKeyScannerSetting = 0x12770003u;

// One scan setting: a pointer to the member that holds the key's value.
using ScanSettingRef = std::variant<const bool*, const std::u16string*, const std::int32_t*>;
using ScanSettings = std::map<std::uint32_t, ScanSettingRef>;

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_SCAN_SETTINGS_H_
