// CEngineTARSK: backing a session's items up, one file per company.
//
// Nothing may be cleaned that has no restorable backup, so every doubt
// about a company's backup (a refused engine call, no work folder, no
// file, a file that could not be moved, an item in no company's selection)
// fails SpywareBackup, and BackupAndClean then cleans nothing. A backup
// file that could not be moved is left in its work folder, never deleted.
#include <algorithm>
#include <exception>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/backup_folders.h"
#include "driver/engine_tarsk.h"
#include "log/log_timer.h"
#include "log/logging.h"
#include "os/file_system.h"
#include "os/system_error.h"
#include "util/file_ops.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// `text` + ": " + "failed with error <code>: <message>" for the calling
// thread's last system error, at level 5.
void LogSystemError(std::u16string_view text, std::u16string_view path) noexcept {
  try {
    const std::u16string error = os::LastErrorText();  // first, before anything changes it
    ZLOG(kLog, logging::kLevelFailure, text, path, u": ", error);
  } catch (const std::exception&) {
    // Out of memory: the line is lost.
  }
}

}  // namespace

std::int32_t CEngineTARSK::SpywareBackup(std::int32_t handle, const std::u16string& backupFolder,
                                         const CleanScope& cleaning) noexcept {
  ZLOG_ENTER(kLog, u"CEngineTARSK::SpywareBackup", u"tkc = ", handle, u", wstrBackupPath = ", backupFolder);
  std::int32_t result = kEngineNotReady;
  if (IsReady()) {
    std::int32_t count = 0;
    const std::int32_t r = Engine().TKGetItemCount(handle, &count);
    ZLOG(kLog, logging::kLevelEntryExit, u"item count(", count, u')');
    // Without a count there is no telling what would go unsaved; the
    // cleanup that follows counts again.
    result = r == 0 ? kOk : EngineFailure(handle, u"Failed: TKGetItemCount: ", r);
    if (Succeeded(result) && count > 0) {
      logging::ScopedTimer timer(kLog, __LINE__, u"backup start", u"backup finished, performance = ");
      result = BackupEveryCompany(handle, backupFolder, count, cleaning);
    }
  }
  ZLOG_EXIT(kLog, u"CEngineTARSK::SpywareBackup");
  return result;
}

std::int32_t CEngineTARSK::BackupEveryCompany(std::int32_t handle, const std::u16string& backupFolder,
                                              std::int32_t count, const CleanScope& cleaning) noexcept {
  try {
    std::u16string folder(backupFolder);
    if (folder.empty() || !EnsureBackupFolder(folder)) return kBackupFolderFailed;
    std::vector<bool> done(static_cast<std::size_t>(count), false);
    // Items the cleaning takes that their own company's selection left
    // out, with that company.
    std::vector<std::pair<std::int32_t, std::u16string>> unselected;
    // Each company is backed up once, even when the engine's selection of
    // it leaves some of its items out.
    std::set<std::u16string> companies;
    std::int32_t result = kOk;
    for (std::int32_t i = 0; i < count; ++i) {
      // An item its company's backup already holds needs neither a fetch
      // nor a name: most items are skipped here.
      if (done[static_cast<std::size_t>(i)]) continue;
      TKC_ITEM item{};
      item.size = kTkcItemSize;
      const std::int32_t r = Engine().TKGetItem(handle, static_cast<std::uint32_t>(i), &item);
      if (r != 0) {
        ZLOG(kLog, logging::kLevelFailure, u"Failed: TKGetItem: ", r);
        result = MapEngineStatus(r);
      }
      if (Failed(result)) break;
      std::u16string company;
      GetCompanyNameOfItem(handle, item, company);
      const bool cleaned = cleaning.Takes(item);
      if (!companies.insert(company).second) {
        if (cleaned) unselected.emplace_back(i, company);
        continue;
      }
      std::int32_t selected = 0;
      result = SelectItemsByCompany(handle, company, count, selected, done);
      if (Failed(result)) break;
      if (cleaned && !done[static_cast<std::size_t>(i)]) unselected.emplace_back(i, company);
      if (selected == 0) continue;
      result = BackupCompany(handle, folder, company);
    }
    if (Failed(result)) return result;
    for (const auto& [index, company] : unselected) {
      if (done[static_cast<std::size_t>(index)]) continue;
      ZLOG(kLog, logging::kLevelFailure, u"Failed: item ", index, u" of company ", company, u" is in no backup file");
      result = kBackupFolderFailed;
    }
    return result;
  } catch (const std::exception&) {
    return kFail;
  }
}

std::int32_t CEngineTARSK::BackupCompany(std::int32_t handle, const std::u16string& backupFolder,
                                         const std::u16string& companyName) noexcept {
  ZLOG(kLog, logging::kLevelEntryExit, u"Get a Company Name: ", companyName);
  std::u16string workFolder;
  // Without its own folder the engine would be told to write nowhere known.
  if (!CreateGuidFolder(temp_folder_, workFolder)) return kBackupFolderFailed;
  std::int32_t r = Engine().TKSetOption(handle, kOptionBackupPrefix, companyName.c_str());
  if (r != 0) ZLOG(kLog, logging::kLevelFailure, u"Failed: TKSetOption BackupPrefix ", r);
  // A refused path leaves no file in the work folder, which fails below.
  r = Engine().TKSetOption(handle, kOptionBackupPath, workFolder.c_str());
  if (r != 0) ZLOG(kLog, logging::kLevelFailure, u"Failed: TKSetOption BackupPath ", r);
  {
    os::WriterGuard guard(backup_lock_);
    r = Engine().TKBackup(handle, u"");
  }
  // A failed backup may still have left a file: it is moved and the work
  // folder cleared all the same.
  const std::int32_t result = r == 0 ? kOk : EngineFailure(handle, u"Failed: TKBackup: ", r);
  const std::int32_t stored = StoreBackupFile(handle, backupFolder, workFolder, companyName, r == 0);
  return Failed(result) ? result : stored;
}

std::int32_t CEngineTARSK::StoreBackupFile(std::int32_t handle, const std::u16string& backupFolder,
                                           const std::u16string& workFolder, const std::u16string& companyName,
                                           bool backupWritten) noexcept {
  try {
    std::u16string fileName;
    const bool found = FindBackupFile(workFolder, fileName);
    std::u16string destination;
    std::int32_t result = kOk;
    if (found) {
      destination = backupFolder + fileName;
      const std::u16string source = workFolder + fileName;
      if (!os::MoveFileTo(source, destination)) {
        LogSystemError(u"SpywareBackup(),MoveFile: ", source);
        // The only copy of the items: it stays where it is, with its folder.
        return kBackupFolderFailed;
      }
    } else if (backupWritten) {
      ZLOG(kLog, logging::kLevelFailure, u"Failed: no backup file in ", workFolder);
      result = kBackupFolderFailed;
    }
    if (!os::RemoveFolder(workFolder)) {
      LogSystemError(u"SpywareBackup(),RemoveDirectory: ", workFolder);
      os::DeleteAtRestart(workFolder);
    }
    if (found && GetSessionContext(handle) != nullptr) {
      std::u16string fullPath;
      if (util::GetFullPath(destination.c_str(), fullPath)) {
        ZEVO_BackupReport report{fullPath.c_str(), companyName.c_str()};
        ReportToOwner(handle, kEventBackupFile, 0, 0, &report);
      } else {
        ZLOG(kLog, logging::kLevelFailure, u"Failed to convert full path name for ", destination);
      }
    }
    return result;
  } catch (const std::exception&) {
    return kFail;
  }
}

std::int32_t CEngineTARSK::SelectItemsByCompany(std::int32_t handle, const std::u16string& companyName,
                                                std::int32_t count, std::int32_t& selected,
                                                std::vector<bool>& doneBits) noexcept {
  selected = 0;
  if (!IsReady()) return kEngineNotReady;
  std::int32_t r = Engine().TKSelectItems(handle, kAllItems, 0);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKSelectItems: ", r);
  }
  std::int32_t matches = 0;
  r = Engine().TKGetItemIndexByCompanyName(handle, companyName.c_str(), nullptr, &matches);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKGetItemIndexByCompanyName: ", r);
  }
  matches = std::clamp(matches, 0, std::max(count, 0));
  if (matches == 0) return kOk;
  // Room for this company's matches only: one room of `count` per company
  // would grow with items times companies.
  std::vector<std::uint32_t> indexes;
  try {
    indexes.resize(static_cast<std::size_t>(matches));
  } catch (const std::exception&) {
    return kFail;
  }
  r = Engine().TKGetItemIndexByCompanyName(handle, companyName.c_str(), indexes.data(), &matches);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKGetItemIndexByCompanyName: ", r);
  }
  matches = std::clamp(matches, 0, static_cast<std::int32_t>(indexes.size()));
  for (std::int32_t k = 0; k < matches; ++k) {
    const std::uint32_t index = indexes[static_cast<std::size_t>(k)];
    // An index the session does not have names no item of this backup.
    if (index >= static_cast<std::uint32_t>(count) || index >= doneBits.size()) continue;
    r = Engine().TKSelectItems(handle, index, 1);
    if (r != 0) {
      return EngineFailure(handle, u"Failed: TKSelectItems: ", r);
    }
    doneBits[index] = true;
    ++selected;
  }
  return kOk;
}

}  // namespace zevo::driver
