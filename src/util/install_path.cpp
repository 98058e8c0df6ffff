#include "util/install_path.h"

#include <new>

#include "log/logging.h"
#include "os/environment.h"
#include "os/path.h"
#include "os/system_error.h"
#include "util/reg_key.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Util COMMON", u"util_EnvironmentVar"};

}  // namespace

std::u16string InstallPathFromExecutable(std::u16string_view executablePath) {
  const std::size_t at = executablePath.rfind(os::kHostExecutableName);
  // Only the executable's own file name counts: on POSIX the name has no
  // extension and may well occur in a folder name further up.
  const bool isFileName = at != std::u16string_view::npos &&
                          at + os::kHostExecutableName.size() == executablePath.size() &&
                          (at == 0 || executablePath[at - 1] == os::kPathSeparator);
  if (!isFileName) return {};
  return std::u16string(executablePath.substr(0, at));
}

std::u16string GetInstallPath() noexcept {
  try {
    std::u16string result;
    RegKey regKey;
    if (regKey.Open(RegistryRoot::kLocalMachine, kInstallKeyPath, os::kKeyAllAccess) == os::kRegSuccess) {
      if (regKey.QueryString(kInstallValueName, result) == os::kRegSuccess) {
        return result;
      }
      ZLOG(kLog, logging::kLevelFailure, u"regKey.QueryValue() fail!\n", u"key =", kInstallKeyPath, u",wstrItemName =",
           kInstallValueName);
    } else {
      ZLOG(kLog, logging::kLevelFailure, u"regKey.Open() fail!\n", u"open  HKEY_LOCAL_MACHINE  fail!", u"\n", u"key =",
           kInstallKeyPath);
    }

    std::u16string executablePath;
    if (!os::HostExecutablePath(executablePath)) {
      const std::int32_t error = os::LastErrorCode();
      ZLOG(kLog, logging::kLevelFailure, u"Failed to call GetModuleFileName. GetLastError(): ", error);
      return result;
    }
    return InstallPathFromExecutable(executablePath);
  } catch (const std::bad_alloc&) {
    return {};
  }
}

}  // namespace zevo::util
