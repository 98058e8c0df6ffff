// CEngineTARSK: selecting, cleaning and reporting a session's items.
#include <algorithm>
#include <exception>
#include <string>
#include <string_view>

#include "driver/engine_tarsk.h"
#include "log/log_timer.h"
#include "log/logging.h"
#include "os/path.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// Item kinds whose file the host is asked about before cleaning.
constexpr std::uint32_t kFileCheckedKinds[] = {10, 13, 14, 17, 18};

bool IsFileCheckedKind(std::uint32_t kind) noexcept {
  return std::find(std::begin(kFileCheckedKinds), std::end(kFileCheckedKinds), kind) != std::end(kFileCheckedKinds);
}

// A fixed-size text field up to its first NUL (or its whole length).
template <std::size_t N>
std::u16string_view FieldText(const char16_t (&chars)[N]) noexcept {
  return {chars, static_cast<std::size_t>(std::find(chars, chars + N, u'\0') - chars)};
}

// The item's file: folder (text 3), a separator unless the folder is empty
// or ends with one, file name (text 2). Throws only std::bad_alloc.
std::u16string ItemPath(const TKC_ITEM& item) {
  std::u16string path(FieldText(item.text3));
  if (!path.empty() && path.back() != os::kPathSeparator) path.push_back(os::kPathSeparator);
  path.append(FieldText(item.text2));
  return path;
}

// Whether the host's file check keeps the file at `path` out of cleaning.
bool HostKeepsFile(config::PluginInterfaceClass& fileCheck, const std::u16string& path) noexcept {
  ZEVO_FileCheckRequest request{};
  request.zero = 0;
  request.path = path.c_str();
  request.one = 1;
  ZEVO_FileCheckReply reply{};
  const std::int32_t status = fileCheck.CallFunc(ZEVO_FILE_CHECK_FN_CHECK, &request, &reply);
  return Succeeded(status) && reply.keepOut != 0;
}

}  // namespace

std::int32_t CEngineTARSK::BackupAndClean(std::int32_t handle, bool doSpywareClean, bool doCookieClean, bool backup,
                                          const std::u16string& backupFolder) noexcept {
  if (backup) {
    const std::int32_t backedUp =
        SpywareBackup(handle, backupFolder, CleanScope{doSpywareClean, doCookieClean, backup});
    if (Failed(backedUp)) return backedUp;
  }
  return SpywareDoCleanup(handle, doSpywareClean, doCookieClean, backup);
}

std::int32_t CEngineTARSK::SpywareDoCleanup(std::int32_t handle, bool doSpywareClean, bool doCookieClean,
                                            bool backup) noexcept {
  ZLOG_ENTER(kLog, u"CEngineTARSK::SpywareDoCleanup", u"tkc = ", handle, u", bBackup = ", backup);
  std::int32_t result = kEngineNotReady;
  if (IsReady()) {
    std::int32_t count = 0;
    Engine().TKGetItemCount(handle, &count);
    ZLOG(kLog, logging::kLevelEntryExit, u"    item count(", count, u')');
    result = kOk;
    if (count > 0) {
      logging::ScopedTimer timer(kLog, __LINE__, u"clean start", u"clean finished, performance = ");
      std::vector<bool> cleanFlags;
      result = SelectItemsForClean(handle, count, backup, doSpywareClean, doCookieClean, cleanFlags);
      if (Succeeded(result)) result = EnableScanner(handle, kAllScanners);
      if (Succeeded(result)) {
        // A refused clean still reports every item (each as not cleaned)
        // before the job answers the engine's failure.
        result = CleanItems(handle);
        SendCleanResult(handle, cleanFlags);
      }
      // Whatever happened, the session is left without items.
      Engine().TKRemoveItems(handle, kAllItems);
    }
  }
  ZLOG_EXIT(kLog, u"CEngineTARSK::SpywareDoCleanup");
  return result;
}

std::int32_t CEngineTARSK::SelectItemsForClean(std::int32_t handle, std::int32_t count, bool backup,
                                               bool doSpywareClean, bool doCookieClean,
                                               std::vector<bool>& cleanFlags) noexcept {
  cleanFlags.clear();
  if (!IsReady()) return kEngineNotReady;
  std::int32_t r = Engine().TKSelectItems(handle, kAllItems, 1);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKSelectItems: ", r);
  }
  config::PluginInterfaceClass fileCheck(organizer_, ZEVO_FILE_CHECK_MODULE, ZEVO_FILE_CHECK_INTERFACE);
  try {
    cleanFlags.reserve(static_cast<std::size_t>(std::max(count, 0)));
    const CleanScope cleaning{doSpywareClean, doCookieClean, backup};
    for (std::int32_t i = 0; i < count; ++i) {
      const auto index = static_cast<std::uint32_t>(i);
      const CleanDecision decision = DecideItem(handle, index, cleaning, fileCheck);
      if (!decision.clean) {
        r = Engine().TKSelectItems(handle, index, 0);
        // An item that stays selected would be cleaned against the rules:
        // the whole selection fails, so that nothing is cleaned.
        if (r != 0) {
          return EngineFailure(handle, u"Failed: TKSelectItems: ", r);
        }
      }
      cleanFlags.push_back(decision.keptByFileCheck);
    }
  } catch (const std::exception&) {
    return kFail;
  }
  return kCommonOk;
}

CEngineTARSK::CleanDecision CEngineTARSK::DecideItem(std::int32_t handle, std::uint32_t index,
                                                     const CleanScope& cleaning,
                                                     config::PluginInterfaceClass& fileCheck) noexcept {
  TKC_ITEM item{};
  item.size = kTkcItemSize;
  const std::int32_t r = Engine().TKGetItem(handle, index, &item);
  if (r != 0) {
    // An item nobody could look at is not cleaned.
    ZLOG(kLog, logging::kLevelFailure, u"Failed: TKGetItem: ", r);
    return {false, false};
  }
  if (!cleaning.Takes(item)) return {false, false};
  if (item.kind == kItemKindCookie) return {true, false};  // cookies are not files the host checks
  if (IsFileCheckedKind(item.kind) && fileCheck.IsValid()) {
    try {
      if (HostKeepsFile(fileCheck, ItemPath(item))) return {false, true};
    } catch (const std::exception&) {
      return {false, false};  // not asked, so not cleaned
    }
  }
  return {true, false};
}

std::int32_t CEngineTARSK::CleanItems(std::int32_t handle) noexcept {
  if (!IsReady()) return kEngineNotReady;
  std::int32_t r = 0;
  {
    os::WriterGuard guard(clean_lock_);
    r = Engine().TKClean(handle, u"");
  }
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKClean: ", r);
  }
  return kOk;
}

void CEngineTARSK::SendCleanResult(std::int32_t handle, const std::vector<bool>& cleanFlags) noexcept {
  ZLOG_ENTER(kLog, u"CEngineTARSK::SendCleanResult");
  std::int32_t count = 0;
  if (IsReady()) {
    Engine().TKGetItemCount(handle, &count);
    ZLOG(kLog, logging::kLevelEntryExit, u"item count(", count, u')');
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const auto index = static_cast<std::uint32_t>(i);
    TKC_ITEM item{};
    item.size = kTkcItemSize;
    Engine().TKGetItem(handle, index, &item);
    // The engine may count more items now than were selected: those were
    // never kept out by the host.
    const bool kept = index < cleanFlags.size() && cleanFlags[index];
    ReportToOwner(handle, kEventCleanResult, 0, kept ? 1 : 0, &item);
  }
  ZLOG_EXIT(kLog, u"CEngineTARSK::SendCleanResult");
}

void CEngineTARSK::ReportToOwner(std::int32_t handle, std::int32_t event, std::int32_t c, std::int32_t d,
                                 void* data) noexcept {
  if (GetSessionContext(handle) == nullptr) return;  // the main session, or closed
  const PFN_TKCallback callback = process_callback_.load(std::memory_order_acquire);
  if (callback != nullptr) callback(handle, event, c, d, data);
}

}  // namespace zevo::driver
