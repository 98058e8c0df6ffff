// CEngineTARSK: referential scans, over the items the host hands in.
#include <algorithm>
#include <iterator>

#include "driver/engine_tarsk.h"
#include "log/log_timer.h"
#include "log/logging.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// One text of the host's record, terminated inside its field: a host that
// filled all 261 characters loses the last one rather than the engine
// reading past the record.
class FieldCopy {
 public:
  explicit FieldCopy(const char16_t (&field)[kItemTextChars]) noexcept {
    std::copy(std::begin(field), std::end(field), text_);
    text_[kItemTextChars - 1] = u'\0';
  }
  const char16_t* c_str() const noexcept { return text_; }

 private:
  char16_t text_[kItemTextChars];
};

}  // namespace

std::int32_t CEngineTARSK::AddReferentialScanItem(std::int32_t handle, const ZEVO_ReferentialItem& item) noexcept {
  if (!IsReady()) return kEngineNotReady;
  const FieldCopy first(item.first);
  const FieldCopy second(item.second);
  const FieldCopy third(item.third);
  const std::int32_t r =
      Engine().TKAddReferentialScanItem(handle, first.c_str(), second.c_str(), third.c_str(), /*flags=*/0);
  if (r == 0) return kOk;
  ZLOG(kLog, logging::kLevelFailure, u"Failed: TKAddReferentialScanItem: ", r);
  // The engine's warnings (already added, not found) are no failure of
  // the request.
  if (r == kReferentialWarningFirst || r == kReferentialWarningSecond) return MapEngineWarning(r);
  LogEngineError(handle);
  return MapEngineStatus(r);
}

std::int32_t CEngineTARSK::StartReferentialScan(std::int32_t handle, bool doSpywareClean, bool doCookieClean,
                                                bool backup, const std::u16string& backupFolder,
                                                const ScanSettings& settings) noexcept {
  ZLOG_ENTER(kLog, u"CEngineTARSK::StartReferentialScan", u"tkc = ", handle, u", bDoSpywareClean = ", doSpywareClean,
             u", bDoCookieClean = ", doCookieClean);
  std::int32_t result = kEngineNotReady;
  if (IsReady()) {
    result = kOk;
    std::int32_t count = 0;
    Engine().TKGetItemCount(handle, &count);
    ZLOG(kLog, logging::kLevelEntryExit, u"    item count(", count, u')');
    if (count > 0) {
      result = PrepareScan(handle, settings);
      if (Succeeded(result)) {
        std::int32_t r = 0;
        {
          logging::ScopedTimer timer(kLog, __LINE__, u"referential start", u"referential finished, performance = ");
          // The clean lock, not the scan lock: no TKClean of any session
          // may run while references are followed.
          os::WriterGuard guard(clean_lock_);
          r = Engine().TKScanRelatedReferences(handle, u"");
        }
        if (r != 0) result = EngineFailure(handle, u"Failed: TKScanRelatedReferences: ", r);
      }
      if (Succeeded(result) && (doSpywareClean || doCookieClean)) {
        result = BackupAndClean(handle, doSpywareClean, doCookieClean, backup, backupFolder);
      }
    }
  }
  ZLOG_EXIT(kLog, u"CEngineTARSK::StartReferentialScan");
  return result;
}

}  // namespace zevo::driver
