// The process environment and the folders the system names for it.
#ifndef ZEVO_OS_ENVIRONMENT_H_
#define ZEVO_OS_ENVIRONMENT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zevo::os {

// File name of the host service's executable.
#if defined(_WIN32)
inline constexpr std::u16string_view kHostExecutableName = u"Selvadra.exe";
#else
inline constexpr std::u16string_view kHostExecutableName = u"Selvadra";
#endif

// Shell folder id of the per-user application-data folder (CSIDL_APPDATA).
inline constexpr std::int32_t kFolderAppData = 26;

// Replaces each %NAME% of `source` (terminated) whose NAME is set in the
// environment by its value. Percent signs pair left to right; a %NAME%
// that is not set stays whole (its closing '%' opens nothing), and so does
// a '%' without a partner.
// ExpandEnvironmentStringsW semantics: writes at most `capacity` characters
// including the terminator to `buffer` (may be null when `capacity` is 0)
// and returns the number of characters the whole result needs including
// the terminator; when that exceeds `capacity` the buffer's content is not
// defined. 0 on failure, with LastErrorCode() telling why.
// Windows: ExpandEnvironmentStringsW (names without regard to case).
// POSIX: the same rules over the process environment (names match exactly).
std::uint32_t ExpandEnvironmentText(const char16_t* source, char16_t* buffer, std::uint32_t capacity) noexcept;

// The value of environment variable `name`; nullopt when it is not set.
// Throws only std::bad_alloc.
std::optional<std::u16string> EnvironmentValue(std::u16string_view name);

// The path of shell folder `folderId` (CSIDL), without a trailing separator,
// into `path`; 0 on success, else the failure (an HRESULT on Windows) and
// `path` unchanged.
// Windows: SHGetFolderPathW (no owner, no token, the current path).
// POSIX: kFolderAppData is $XDG_CONFIG_HOME when that is an absolute path,
// else $HOME/.config; 28 (local application data) is $XDG_DATA_HOME or
// $HOME/.local/share; 40 (the profile) is $HOME. Other ids fail.
std::int32_t SpecialFolderPath(std::int32_t folderId, std::u16string& path) noexcept;

// The full path of the running program's executable into `path`; true on
// success, else false with LastErrorCode() telling why and `path`
// unchanged. Windows: GetModuleFileNameW of the process (a path is never
// cut short: the buffer grows as needed). POSIX: /proc/self/exe.
bool HostExecutablePath(std::u16string& path) noexcept;

}  // namespace zevo::os

#endif  // ZEVO_OS_ENVIRONMENT_H_
