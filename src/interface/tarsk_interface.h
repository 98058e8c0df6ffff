// ITarskEngineInterface: the object through which the host's scan manager
// drives the engine. Each object owns one engine session of its own (opened
// by function 0, closed by function 1), the scan settings read for it from
// the configuration repository, and the host's progress sink.
//
// CallFunc dispatches a function number to one driver operation; it takes no
// lock of its own (the driver serialises engine access). Safe for
// concurrent use to the extent the driver is; SetStopFlag may be called from
// any thread at any time.
//
// Lifetime: the host's release (slot 0) makes the object unreachable for
// reports and stops and drops the host's reference; every CallFunc and
// every report holds a reference of its own for its duration. The object is
// destroyed by whoever drops the last one, so a host may release it from
// inside its own progress sink, or while a call into it still runs on
// another thread, and a release never waits.
#ifndef ZEVO_SRC_INTERFACE_TARSK_INTERFACE_H_
#define ZEVO_SRC_INTERFACE_TARSK_INTERFACE_H_

#include <atomic>
#include <cstdint>
#include <map>
#include <string>

#include "driver/engine_tarsk.h"
#include "driver/scan_settings.h"
#include "driver/session_owner.h"
#include "interface/company_name_cache.h"
#include "zevo/identity.h"
#include "zevo/organizer.h"
#include "zevo/plugin_interface.h"
#include "zevo/records.h"

namespace zevo::iface {

using driver::kKeyBackupEnabled;
using driver::kKeyBackupFolder;
using driver::kKeyBackupSwitch;
using driver::kKeyExclusionList;
using driver::kKeyScannerSetting;
using driver::ScanSettingRef;
using driver::ScanSettings;

class ITarskEngineInterface final : public ICommonPluginInterface, public driver::ISessionOwner {
 public:
  // Called once the object is destroyed (after its last reference is
  // gone), on the thread that dropped that reference.
  using DestroyedHook = void (*)() noexcept;

  // Calls nothing. Neither pointer is owned; both must outlive the object.
  // The object starts with one reference: the host's.
  ITarskEngineInterface(driver::CEngineTARSK& driver, SPluginInterfaceOrganizer* organizer,
                        DestroyedHook destroyed = nullptr) noexcept;

  // An object owns an engine session and sits in the driver's session
  // context map under its address; a copy would share the session.
  ITarskEngineInterface(const ITarskEngineInterface&) = delete;
  ITarskEngineInterface& operator=(const ITarskEngineInterface&) = delete;

  // --- ICommonPluginInterface ------------------------------------------------
  // The host's release: see Lifetime above. Flag bit 0 clear destroys the
  // object in place (without freeing it), as late as the last reference.
  void* DeleteThis(std::uint32_t flags) noexcept override;
  std::uint32_t GetModuleID() noexcept override;
  std::uint32_t GetInterfaceID() noexcept override;
  void GetModuleVersion(VersionInfo* version) noexcept override;
  std::int32_t CallFunc(std::uint32_t function, void* first, void* second) noexcept override;

  // --- driver::ISessionOwner ---------------------------------------------------
  // Once set, the object refuses scan work until it is released.
  void SetStopFlag(bool stop) noexcept override;

  void Init() noexcept {}
  void Deinit() noexcept {}

  // True when a stop was requested and `function` is one the stop refuses
  // (0, 2, 3, 4, 5, 7).
  bool CheckStopFlagByActionId(std::uint32_t function) const noexcept;

  // Adds every non-empty piece of the ';'-separated `list`, in order, to the
  // engine's whitelist of this object's session. Results are not checked.
  void SetExclusiveSpyware(const std::u16string& list) noexcept;

  // Read access for the scans and for tests.
  std::int32_t SessionHandle() const noexcept { return session_; }
  const ZEVO_Context& Context() const noexcept { return context_; }
  bool BackupDefault() const noexcept { return backup_default_; }
  const std::u16string& BackupFolder() const noexcept { return backup_folder_; }
  std::uint64_t HostCookie() const noexcept { return cookie_.load(std::memory_order_relaxed); }
  std::int32_t ScannerSetting() const noexcept { return scanner_setting_; }
  const ScanSettings& Settings() const noexcept { return scan_settings_; }
  IProgressSink* ProgressSink() const noexcept { return progress_sink_.load(std::memory_order_acquire); }
  std::size_t CachedCompanyNames() const noexcept { return company_names_.size(); }

  // --- Progress reports (progress_callback.cpp) --------------------------------
  // The callback registered by function 5 for the object's session. Events
  // 1, 3 and 1000 reach the sink as they are; 2 and 1001 carry an
  // SPYWARE_ITEM built from the engine's TKC_ITEM (1001 with its result
  // code); every other event is dropped. Nothing is reported for a session
  // no object owns or an object without a sink. Always 0. The session lock
  // is held only to find the object, never while the host is called.
  static std::int32_t TARSKProcessCallback(std::int32_t handle, std::int32_t event, std::int32_t c, std::int32_t d,
                                           void* data) noexcept;
  // The company name of `item` for the object owning `handle`: custom-range
  // ids by the first company text the object saw for them, others from the
  // driver's tables (empty when unknown). False, name unchanged, when no
  // object owns the session.
  static bool GetSpyCompanyName(std::int32_t handle, const TKC_ITEM& item, std::u16string& name) noexcept;
  // The threat level of the item's threat type; 50 when the type is unknown
  // or no object owns the session.
  static void GetSpyThreatLevel(std::int32_t handle, const TKC_ITEM& item, std::int32_t& level) noexcept;

 private:
  // Leaves the session context map (again: a call still running at the
  // release may have opened a session since), so that no stop or callback
  // reaches the freed object. Only Unref destroys.
  ~ITarskEngineInterface();

  // A reference held by one call into the object.
  class Hold;
  // Holds the object that owns a session alive for one report.
  class ReportPin;

  // Takes a reference unless the last one is already gone.
  bool TryRef() noexcept;
  // Drops a reference; the last one destroys the object, then calls the
  // destroyed hook.
  void Unref() noexcept;

  void FormatItem(std::int32_t handle, const TKC_ITEM& item, SPYWARE_ITEM& record) noexcept;
  bool CompanyNameOf(std::int32_t handle, const TKC_ITEM& item, std::u16string& name) noexcept;

  // Functions 8282 and 8283 (queries.cpp): a request block and a reply
  // block of the host (zevo/host_blocks.h). 8282 answers names for the ids
  // (code 11) or ids for the names (code 12) of the request, reading the
  // engine with `session` for ids the company table lacks; 8283 answers the
  // whole company table and reads no request. Nothing but the reply block's
  // name id and data handle is written, and those only with a reply.
  static std::int32_t _Query(driver::CEngineTARSK& driver, std::int32_t session, void* request, void* reply) noexcept;
  static std::int32_t TarskGetNameIdByTable(const driver::CEngineTARSK& driver, void* request, void* reply) noexcept;

  std::int32_t OpenSession(const ZEVO_OpenBlock* block) noexcept;
  std::int32_t CloseSession() noexcept;
  // Functions 2 to 8.
  struct CleanOptions {
    bool doSpywareClean;
    bool doCookieClean;
    bool backup;
  };
  CleanOptions ResolveScanOptions(const ZEVO_ScanOptions* options) const noexcept;
  std::int32_t StartScan(const ZEVO_ScanOptions* options) noexcept;
  std::int32_t AddReferentialItem(const ZEVO_ReferentialItem* item) noexcept;
  std::int32_t StartReferentialScan(const ZEVO_ScanOptions* options) noexcept;
  std::int32_t BackupAndClean(const std::uint8_t* backup) noexcept;
  std::int32_t Restore(const char16_t* path) noexcept;
  std::int32_t SetProgressSink(IProgressSink* sink) noexcept;
  std::int32_t StopScanByName(const char* const* name) noexcept;
  std::int32_t GetPatternVersion(void* buffer) noexcept;
  std::int32_t GetEngineVersion(void* buffer) noexcept;
  void CopyContext(const ZEVO_Context& context) noexcept;

  // Reads the scan settings for `context` (scan_configuration.cpp). Always
  // kCommonOk: what cannot be read takes its default.
  std::int32_t GetConfiguration(const ZEVO_Context& context) noexcept;
  void ApplyExclusionList(std::u16string_view list) noexcept;

  driver::CEngineTARSK& driver_;
  std::int32_t session_ = -1;
  ZEVO_Context context_{};
  bool backup_default_ = true;
  std::u16string backup_folder_;
  // Read by reports on the engine's thread while function 0 or 1 may write it.
  std::atomic<std::uint64_t> cookie_{0};
  // Written by the thread that handles a stop while another may be inside
  // this object's scan.
  std::atomic<bool> stop_{false};
  std::int32_t scanner_setting_ = -1;
  SPluginInterfaceOrganizer* const organizer_;
  // Written by function 5, read by every report.
  std::atomic<IProgressSink*> progress_sink_{nullptr};
  CompanyNameCache company_names_;
  ScanSettings scan_settings_;
  const DestroyedHook destroyed_;
  // Whether the last reference frees the memory (DeleteThis's flag).
  std::atomic<bool> free_on_destroy_{true};
  // The host's reference, one per call under way and one per report under
  // way. Written by every report of the object's session: on a cache line
  // that no other object shares, so that sessions reporting on two threads
  // do not slow each other down.
  alignas(64) std::atomic<std::uint32_t> refs_{1};
  // The company name of the report under way, kept so that a report needs
  // no allocation; a report that finds it taken (the object reporting on
  // two threads at once) uses one of its own.
  std::atomic<bool> report_name_taken_{false};
  std::u16string report_name_;
};

}  // namespace zevo::iface

#endif  // ZEVO_SRC_INTERFACE_TARSK_INTERFACE_H_
