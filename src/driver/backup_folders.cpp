// The backup folder, the per-company work folders and the backup file in
// them.
#include "driver/backup_folders.h"

#include <exception>

#include "log/logging.h"
#include "os/file_system.h"
#include "os/guid.h"
#include "os/path.h"
#include "os/system_error.h"
#include "util/env_expand.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

}  // namespace

bool EnsureBackupFolder(std::u16string& folder) noexcept {
  try {
    if (folder.empty() || folder.back() != os::kPathSeparator) folder.push_back(os::kPathSeparator);
    if (os::PathExists(folder)) return true;
    std::u16string expanded;
    // A folder whose placeholders do not expand is created as it is spelt.
    if (!util::ExpandEnvironmentVar(folder, expanded, /*replaceDoublePercent=*/true)) expanded = folder;
    if (os::CreateFolder(expanded)) return true;
    const std::int32_t error = os::LastErrorCode();
    ZLOG(kLog, logging::kLevelFailure, u"Failed to create backup folder: ", expanded, u" GetLastError():", error);
    return false;
  } catch (const std::exception&) {
    return false;
  }
}

bool CreateGuidFolder(std::u16string_view parent, std::u16string& folder) noexcept {
  try {
    const std::u16string guid = os::NewGuidText();
    if (guid.empty()) return false;
    std::u16string path(parent);
    path.push_back(os::kPathSeparator);
    path.append(guid);
    path.push_back(os::kPathSeparator);
    if (!os::CreateFolder(path)) {
      ZLOG(kLog, logging::kLevelFailure, u"CreateGuidFolder(),CreateDirectory: ", path, u": ", os::LastErrorText());
      return false;
    }
    folder.swap(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool FindBackupFile(std::u16string_view folder, std::u16string& fileName) noexcept {
  return os::FindFirstMatch(folder, kBackupFilePattern, fileName);
}

}  // namespace zevo::driver
