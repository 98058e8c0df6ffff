// Where the platform is installed.
#ifndef ZEVO_SRC_UTIL_INSTALL_PATH_H_
#define ZEVO_SRC_UTIL_INSTALL_PATH_H_

#include <string>
#include <string_view>

namespace zevo::util {

// Registry location of the install folder (under HKEY_LOCAL_MACHINE). Key
// names always use backslashes, whatever the platform's path separator.
inline constexpr std::u16string_view kInstallKeyPath = u"SOFTWARE\\Zentrovia\\ZEVO";
inline constexpr std::u16string_view kInstallValueName = u"InstallDir";

// The platform's install folder: the registry value "InstallDir" as stored
// (expected to end with the path separator), else the folder of the host
// executable when the process runs as that executable, else empty.
// Failures are logged ("Util COMMON"). Reads the registry and the system
// each time; the placeholder table keeps the value seen at module load.
// Safe for concurrent use.
std::u16string GetInstallPath() noexcept;

// The fallback rule on its own: the folder of `executablePath`, keeping its
// trailing separator, when the path's file name is exactly the host
// executable's name (exact case); else empty. Throws only std::bad_alloc.
std::u16string InstallPathFromExecutable(std::u16string_view executablePath);

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_INSTALL_PATH_H_
