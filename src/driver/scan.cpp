// CEngineTARSK: preparing and running a session's scan, and stopping scans.
#include <charconv>
#include <cstddef>
#include <string_view>
#include <system_error>
#include <variant>

#include "driver/engine_tarsk.h"
#include "log/log_timer.h"
#include "log/logging.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// The scanner setting's value that switches scanner kSettingScanner off.
constexpr std::int32_t kScannerSettingOff = 11;
// The value given to option kOptionScanOption before every scan.
constexpr int kScanOptionValue = 1;
constexpr std::size_t kScanOptionCapacity = 16;

// The integer the scanner setting points to; null when the setting is
// absent, empty or not an integer.
const std::int32_t* ScannerSetting(const ScanSettings& settings) noexcept {
  const auto it = settings.find(kKeyScannerSetting);
  if (it == settings.end()) return nullptr;
  const std::int32_t* const* value = std::get_if<const std::int32_t*>(&it->second);
  return value == nullptr ? nullptr : *value;
}

// StopScan's work, for callers that already hold the session lock (it is
// not recursive).
std::int32_t StopSession(CEngineTARSK& driver, const TkFunctionTable& engine, std::int32_t handle) noexcept
    ZEVO_REQUIRES_SHARED(g_sessionLock) {
  if (!driver.IsReady()) return kEngineNotReady;
  // The owner refuses further work before the engine is told, so that a
  // scan it starts right now cannot slip past the stop.
  if (ISessionOwner* owner = FindSessionOwner(handle); owner != nullptr) owner->SetStopFlag(true);
  // No operation lock: this has to run while TKScan holds the scan lock.
  const std::int32_t r = engine.TKStopScan(handle);
  if (r != 0) {
    return driver.EngineFailure(handle, u"Failed: TKStopScan: ", r);
  }
  return kOk;
}

}  // namespace

std::int32_t CEngineTARSK::StartScan(std::int32_t handle, bool doSpywareClean, bool doCookieClean, bool backup,
                                     const std::u16string& backupFolder, const ScanSettings& settings) noexcept {
  ZLOG_ENTER(kLog, u"CEngineTARSK::StartScan", u"tkc = ", handle, u", bDoSpywareClean = ", doSpywareClean,
             u", bDoCookieClean = ", doCookieClean);
  std::int32_t result = IsReady() ? PrepareScan(handle, settings) : kEngineNotReady;
  if (Succeeded(result)) {
    logging::ScopedTimer timer(kLog, __LINE__, u"scan start", u"scan finished, performance = ");
    std::int32_t r = 0;
    {
      os::WriterGuard guard(scan_lock_);
      r = Engine().TKScan(handle, u"");
    }
    result = r == 0 ? kOk : EngineFailure(handle, u"Failed: TKScan: ", r);
  }
  // The items stay in the session; cleaning reads them from there.
  if (Succeeded(result) && (doSpywareClean || doCookieClean)) {
    result = BackupAndClean(handle, doSpywareClean, doCookieClean, backup, backupFolder);
  }
  ZLOG_EXIT(kLog, u"CEngineTARSK::StartScan");
  return result;
}

std::int32_t CEngineTARSK::PrepareScan(std::int32_t handle, const ScanSettings& settings) noexcept {
  std::int32_t result = EnableScanner(handle, kDefaultScanners);
  if (Failed(result)) return result;
  // Without the setting, scanner 12 stays as the default set left it.
  if (const std::int32_t* setting = ScannerSetting(settings); setting != nullptr) {
    result = SetScannerState(handle, /*enable=*/*setting != kScannerSettingOff);
    if (Failed(result)) return result;
  }
  return ApplyScanOption(handle);
}

std::int32_t CEngineTARSK::EnableScanner(std::int32_t handle, std::uint32_t scannerId) noexcept {
  if (!IsReady()) return kEngineNotReady;
  // Everything off first, so that only the chosen set runs; a refusal here
  // changes nothing the next call does not decide.
  Engine().TKEnableScanner(handle, kAllScanners, 0);
  const std::int32_t r = Engine().TKEnableScanner(handle, scannerId, 1);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKEnableScanner: ", r);
  }
  return kOk;
}

std::int32_t CEngineTARSK::SetScannerState(std::int32_t handle, bool enable) noexcept {
  if (!IsReady()) return kEngineNotReady;
  const std::int32_t state = enable ? 1 : 0;
  const std::int32_t r = Engine().TKEnableScanner(handle, kSettingScanner, state);
  if (r != 0) {
    ZLOG(kLog, logging::kLevelFailure, u"Failed: TKEnableScanner: (", state, u')', r);
    LogEngineError(handle);
    return MapEngineStatus(r);
  }
  return kOk;
}

std::int32_t CEngineTARSK::ApplyScanOption(std::int32_t handle) noexcept {
  if (!IsReady()) return kEngineNotReady;
  char digits[kScanOptionCapacity] = {};
  // One place left for the terminator of the wide copy.
  const auto [end, error] = std::to_chars(digits, digits + kScanOptionCapacity - 1, kScanOptionValue);
  if (error != std::errc{}) {
    ZLOG(kLog, logging::kLevelFailure, u"Failed: _itow_s(", kScanOptionValue, u')');
    return kFormatFailed;
  }
  char16_t value[kScanOptionCapacity] = {};
  for (const char* c = digits; c != end; ++c) value[c - digits] = static_cast<char16_t>(*c);
  const std::int32_t r = Engine().TKSetOption(handle, kOptionScanOption, value);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKSetOption: ", r);
  }
  return kOk;
}

std::int32_t CEngineTARSK::SetProcessCallbackFunction(std::int32_t handle, PFN_TKCallback callback) noexcept {
  if (!IsReady()) return kEngineNotReady;
  // Kept whatever the engine answers: the driver's own reports (backup
  // files, clean results) do not go through the engine.
  process_callback_.store(callback, std::memory_order_release);
  const std::int32_t r = Engine().TKSetCallbackFunc(handle, callback);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: SetProcessCallbackFunction: ", r);
  }
  return kOk;
}

std::int32_t CEngineTARSK::StopScan(std::int32_t handle) noexcept {
  os::ReaderGuard guard(g_sessionLock);
  return StopSession(*this, Engine(), handle);
}

std::int32_t CEngineTARSK::StopScanByName(std::string_view callerName) noexcept {
  // Shared, so that no session opens or closes while it is being stopped.
  os::ReaderGuard guard(g_sessionLock);
  for (const auto& [handle, name] : session_names_) {
    if (name == callerName) return StopSession(*this, Engine(), handle);
  }
  return kNoSessionForName;
}

void CEngineTARSK::StopAllScans() noexcept {
  os::ReaderGuard guard(g_sessionLock);
  for (const auto& entry : session_names_) {
    if (entry.first != main_session_) StopSession(*this, Engine(), entry.first);
  }
}

}  // namespace zevo::driver
