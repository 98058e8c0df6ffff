// CEngineTARSK: restoring one backup file.
#include <exception>
#include <string>

#include "driver/engine_tarsk.h"
#include "log/log_timer.h"
#include "log/logging.h"
#include "os/path.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

}  // namespace

std::int32_t CEngineTARSK::SpywareRestore(std::int32_t handle, const std::u16string& restoreFile) noexcept {
  ZLOG_ENTER(kLog, u"CEngineTARSK::SpywareRestore", u"tkc = ", handle, u", wstrRestoreFile = ", restoreFile);
  std::int32_t result = kEngineNotReady;
  if (IsReady()) {
    logging::ScopedTimer timer(kLog, __LINE__, u"restore start", u"restore finished, performance = ");
    try {
      // The engine takes the folder as its backup path and the bare name.
      std::u16string folder;
      std::u16string fileName;
      const std::size_t separator = restoreFile.rfind(os::kPathSeparator);
      if (separator == std::u16string::npos) {
        // Malformed, but still tried: the whole text as the name.
        ZLOG(kLog, logging::kLevelFailure, u"input wrong path format, no backslash is found");
        fileName = restoreFile;
      } else {
        folder = restoreFile.substr(0, separator);
        fileName = restoreFile.substr(separator + 1);
      }
      std::int32_t r = Engine().TKSetOption(handle, kOptionBackupPath, folder.c_str());
      if (r != 0) {
        result = EngineFailure(handle, u"Failed: TKSetOption BackupPath: ", r);
      } else {
        {
          os::WriterGuard guard(restore_lock_);
          r = Engine().TKRestore(handle, fileName.c_str());
        }
        result = r == 0 ? kOk : EngineFailure(handle, u"Failed: SpywareRestore: ", r);
      }
    } catch (const std::exception&) {
      result = kFail;
    }
  }
  ZLOG_EXIT(kLog, u"CEngineTARSK::SpywareRestore");
  return result;
}

}  // namespace zevo::driver
