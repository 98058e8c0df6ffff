// The placeholder table: 24 fixed names ("%TEMP%", ...) and their values,
// computed once when the module is loaded and read-only afterwards.
#ifndef ZEVO_SRC_UTIL_ENVIRONMENT_VAR_H_
#define ZEVO_SRC_UTIL_ENVIRONMENT_VAR_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace zevo::util {

struct EnvVar {
  std::u16string name;  // with its percent signs
  std::u16string value;
};

inline constexpr std::size_t kEnvVarCount = 24;
using EnvVarTableType = std::array<EnvVar, kEnvVarCount>;
// Keys compare as exact UTF-16 code unit sequences: "%temp%" is not "%TEMP%".
using EnvVarMapType = std::map<std::u16string, std::u16string>;

// The table in its fixed row order, and the map filled from it. Both are
// built during module initialisation and never change; safe for concurrent
// use.
const EnvVarTableType& EnvVarTable() noexcept;
const EnvVarMapType& EnvVarMap() noexcept;

// The shell folder `folderId` (see os::SpecialFolderPath), empty when the
// system has none. For the application-data folder (26) the first
// "<sep>NetworkService<sep>" becomes "<sep>LocalService<sep>": a service
// running as Network Service keeps its data where Local Service does.
std::u16string GetSpecialFolderPath(std::int32_t folderId) noexcept;

// `name` (such as "%TEMP%") expanded by the system; `name` itself when the
// expansion fails. Results longer than 260 characters are read whole.
std::u16string GetEnvironmentValue(std::u16string_view name) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_ENVIRONMENT_VAR_H_
