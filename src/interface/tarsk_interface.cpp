#include "interface/tarsk_interface.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "interface/status_interface.h"
#include "zevo/result.h"

namespace zevo::iface {

// Function 0 copies the caller's 876-byte block from offset 40 as it is.
static_assert(offsetof(ZEVO_Context, block) == 40 && sizeof(ZEVO_ContextBlock) == 876);

class ITarskEngineInterface::Hold {
 public:
  // REQUIRES: the caller owns a reference (the host calls only objects it
  // has not released).
  explicit Hold(ITarskEngineInterface& object) noexcept : object_(object) {
    object_.refs_.fetch_add(1, std::memory_order_relaxed);
  }
  ~Hold() { object_.Unref(); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  ITarskEngineInterface& object_;
};

ITarskEngineInterface::ITarskEngineInterface(driver::CEngineTARSK& driver, SPluginInterfaceOrganizer* organizer,
                                             DestroyedHook destroyed) noexcept
    : driver_(driver), organizer_(organizer), destroyed_(destroyed) {}

ITarskEngineInterface::~ITarskEngineInterface() {
  driver::CEngineTARSK::DetachSessionOwner(static_cast<const driver::ISessionOwner*>(this));
}

bool ITarskEngineInterface::TryRef() noexcept {
  std::uint32_t refs = refs_.load(std::memory_order_relaxed);
  do {
    if (refs == 0) return false;
  } while (!refs_.compare_exchange_weak(refs, refs + 1, std::memory_order_relaxed));
  return true;
}

void ITarskEngineInterface::Unref() noexcept {
  if (refs_.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  const DestroyedHook destroyed = destroyed_;
  if (free_on_destroy_.load(std::memory_order_relaxed)) {
    delete this;
  } else {
    this->~ITarskEngineInterface();
  }
  if (destroyed != nullptr) destroyed();
}

void* ITarskEngineInterface::DeleteThis(std::uint32_t flags) noexcept {
  free_on_destroy_.store((flags & ZEVO_DELETE_FREE) != 0, std::memory_order_relaxed);
  // No report or stop finds the object from here on; those under way and
  // the calls still running keep it until they end.
  driver::CEngineTARSK::DetachSessionOwner(static_cast<const driver::ISessionOwner*>(this));
  Unref();
  return this;
}

std::uint32_t ITarskEngineInterface::GetModuleID() noexcept { return kModuleId; }

std::uint32_t ITarskEngineInterface::GetInterfaceID() noexcept { return kEngineInterfaceId; }

void ITarskEngineInterface::GetModuleVersion(VersionInfo* version) noexcept { WriteModuleVersion(version); }

void ITarskEngineInterface::SetStopFlag(bool stop) noexcept { stop_.store(stop); }

bool ITarskEngineInterface::CheckStopFlagByActionId(std::uint32_t function) const noexcept {
  switch (function) {
    case kFnOpenSession:
    case kFnStartScan:
    case kFnAddReferentialItem:
    case kFnStartReferentialScan:
    case kFnSetProgressSink:
    case kFnRestore:
      return stop_.load();
    default:
      return false;
  }
}

std::int32_t ITarskEngineInterface::CallFunc(std::uint32_t function, void* first, void* second) noexcept {
  // The host may release the object from its sink while this call runs.
  const Hold self(*this);
  if (CheckStopFlagByActionId(function)) return kStopRequested;
  switch (function) {
    case kFnOpenSession:
      return OpenSession(static_cast<const ZEVO_OpenBlock*>(first));
    case kFnCloseSession:
      return CloseSession();
    case kFnGetPatternVersion:
      return GetPatternVersion(first);
    case kFnGetEngineVersion:
      return GetEngineVersion(first);
    case kFnStartScan:
      return StartScan(static_cast<const ZEVO_ScanOptions*>(first));
    case kFnSetProgressSink:
      return SetProgressSink(static_cast<IProgressSink*>(first));
    case kFnStopScanByName:
      return StopScanByName(static_cast<const char* const*>(first));
    case kFnAddReferentialItem:
      return AddReferentialItem(static_cast<const ZEVO_ReferentialItem*>(first));
    case kFnStartReferentialScan:
      return StartReferentialScan(static_cast<const ZEVO_ScanOptions*>(first));
    case kFnBackupAndClean:
      return BackupAndClean(static_cast<const std::uint8_t*>(first));
    case kFnRestore:
      return Restore(static_cast<const char16_t*>(first));
    case kFnQuery:
      return _Query(driver_, session_, first, second);
    case kFnNameIdByTable:
      return TarskGetNameIdByTable(driver_, first, second);
    default:
      return kNotHandled;
  }
}

void ITarskEngineInterface::CopyContext(const ZEVO_Context& context) noexcept {
  // The id is copied as text: at most 36 characters, always terminated,
  // whatever the host left in its buffer.
  const char* const source = context.contextId;
  const char* const end = std::find(source, source + sizeof(context_.contextId) - 1, '\0');
  const auto length = static_cast<std::size_t>(end - source);
  std::memcpy(context_.contextId, source, length);
  context_.contextId[length] = '\0';
  std::memcpy(&context_.block, &context.block, sizeof(context_.block));
}

std::int32_t ITarskEngineInterface::OpenSession(const ZEVO_OpenBlock* block) noexcept {
  std::string_view callerName;
  if (block != nullptr) {
    cookie_.store(block->cookie, std::memory_order_relaxed);
    if (block->context != nullptr) CopyContext(*block->context);
    if (block->callerName != nullptr) callerName = block->callerName;
  }
  std::int32_t result = driver_.OpenSession(&session_, this, callerName);
  if (Succeeded(result)) result = driver_.LoadPattern(session_, /*shared=*/true);
  if (Succeeded(result)) result = GetConfiguration(context_);
  return result;
}

std::int32_t ITarskEngineInterface::CloseSession() noexcept {
  // The session leaves the context map first: a report that still finds
  // the object then still carries the host's cookie.
  const std::int32_t result = driver_.CloseSession(session_);
  context_ = ZEVO_Context{};
  cookie_.store(0, std::memory_order_relaxed);
  backup_default_ = false;
  backup_folder_.clear();
  return result;
}

ITarskEngineInterface::CleanOptions ITarskEngineInterface::ResolveScanOptions(
    const ZEVO_ScanOptions* options) const noexcept {
  CleanOptions resolved{true, true, backup_default_};
  if (options != nullptr) {
    resolved.doSpywareClean = options->doSpywareClean != 0;
    resolved.doCookieClean = options->doCookieClean != 0;
    // A zero byte means "as configured": the host cannot turn backups off here.
    if (options->backup != 0) resolved.backup = true;
  }
  return resolved;
}

std::int32_t ITarskEngineInterface::StartScan(const ZEVO_ScanOptions* options) noexcept {
  const CleanOptions o = ResolveScanOptions(options);
  return driver_.StartScan(session_, o.doSpywareClean, o.doCookieClean, o.backup, backup_folder_, scan_settings_);
}

std::int32_t ITarskEngineInterface::AddReferentialItem(const ZEVO_ReferentialItem* item) noexcept {
  if (item == nullptr) return kArgumentMissing;
  return driver_.AddReferentialScanItem(session_, *item);
}

std::int32_t ITarskEngineInterface::StartReferentialScan(const ZEVO_ScanOptions* options) noexcept {
  const CleanOptions o = ResolveScanOptions(options);
  return driver_.StartReferentialScan(session_, o.doSpywareClean, o.doCookieClean, o.backup, backup_folder_,
                                      scan_settings_);
}

std::int32_t ITarskEngineInterface::BackupAndClean(const std::uint8_t* backup) noexcept {
  // As with the scans, a zero byte keeps the configured default.
  const bool doBackup = (backup != nullptr && *backup != 0) || backup_default_;
  return driver_.BackupAndClean(session_, /*doSpywareClean=*/true, /*doCookieClean=*/true, doBackup, backup_folder_);
}

std::int32_t ITarskEngineInterface::Restore(const char16_t* path) noexcept {
  if (path == nullptr) return kArgumentMissing;
  try {
    return driver_.SpywareRestore(session_, std::u16string(path));
  } catch (...) {
    return kFail;
  }
}

std::int32_t ITarskEngineInterface::SetProgressSink(IProgressSink* sink) noexcept {
  const std::int32_t result = driver_.SetProcessCallbackFunction(session_, &TARSKProcessCallback);
  progress_sink_.store(sink, std::memory_order_release);
  return result;
}

std::int32_t ITarskEngineInterface::StopScanByName(const char* const* name) noexcept {
  if (name == nullptr || *name == nullptr) return kArgumentMissing;
  return driver_.StopScanByName(*name);
}

std::int32_t ITarskEngineInterface::GetPatternVersion(void* buffer) noexcept {
  if (buffer == nullptr) return kArgumentMissing;
  return driver_.GetPatternProperty(static_cast<char16_t*>(buffer));
}

std::int32_t ITarskEngineInterface::GetEngineVersion(void* buffer) noexcept {
  if (buffer == nullptr) return kArgumentMissing;
  return driver_.GetEngineProperty(static_cast<char16_t*>(buffer));
}

}  // namespace zevo::iface
