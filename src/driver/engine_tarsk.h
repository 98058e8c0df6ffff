// CEngineTARSK: the engine driver, the one object through which the plug-in
// talks to the TARSK engine. It owns the engine library (TarskLib), its main
// session and the sessions of the engine interface objects, and performs
// every engine operation. One file per concern implements it:
// engine_tarsk.cpp (construction, Initialize, options, teardown),
// session.cpp (sessions, pattern, properties, engine errors), tables.cpp
// (enumerations), table_lookups.cpp (lookups, whitelist), scan.cpp
// (scanning and stopping), cleanup.cpp (selection and cleaning), backup.cpp
// (backup per company), restore.cpp, referential.cpp.
//
// Every operation is noexcept and answers a result code (zevo/result.h); an
// engine status r != 0 is logged, followed by the engine's last error, and
// answered as MapEngineStatus(r).
//
// Log lines: module "Plugin TARSK", source file "tarsk_implementation".
//
// Thread safety: after Initialize and InitMainSession (which run under the
// plug-in's global lock), every operation may be called from any thread.
// Sessions are added and removed under g_sessionLock; the tables are read
// without a lock.
#ifndef ZEVO_SRC_DRIVER_ENGINE_TARSK_H_
#define ZEVO_SRC_DRIVER_ENGINE_TARSK_H_

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/plugin_interface_class.h"
#include "driver/engine_tables.h"
#include "driver/scan_settings.h"
#include "driver/session_owner.h"
#include "driver/sessions.h"
#include "engine/tarsk_lib.h"
#include "os/rw_lock.h"
#include "zevo/engine_api.h"
#include "zevo/organizer.h"
#include "zevo/records.h"
#include "zevo/thread_annotations.h"

namespace zevo::driver {

// What a cleaning job takes, before the host's file check has its say:
// cookies when cookies are cleaned; other items when spyware is cleaned,
// except those the engine marks as not to be cleaned when a backup is made.
struct CleanScope {
  bool spyware;
  bool cookies;
  bool backup;
  bool Takes(const TKC_ITEM& item) const noexcept {
    if (item.kind == kItemKindCookie) return cookies;
    return spyware && !(backup && (item.resultFlags & kItemFlagNotWithBackup) != 0);
  }
};

class CEngineTARSK {
 public:
  // What a driver may do to the engine's global state. The engine library is
  // one instance per process: the driver that serves the host hands it the
  // RCM table and clears it again when it goes; a driver that only checks a
  // pattern beside it leaves the RCM table as it finds it.
  enum class Role { kServing, kPatternCheck };

  // Stores the organizer (not owned); loads nothing. Throws
  // std::system_error only when the system cannot create a lock.
  explicit CEngineTARSK(SPluginInterfaceOrganizer* organizer, Role role = Role::kServing);
  // The same with an engine that lives in this process (tests): Initialize
  // binds `inProcessEngine` instead of loading tarsk64.dll.
  CEngineTARSK(SPluginInterfaceOrganizer* organizer, const TkFunctionTable& inProcessEngine);
  // When the library is ready: closes the main session (result ignored),
  // clears the RCM table in the engine (serving role only), releases the RCM
  // connection and the library.
  ~CEngineTARSK();

  CEngineTARSK(const CEngineTARSK&) = delete;
  CEngineTARSK& operator=(const CEngineTARSK&) = delete;

  // --- Start-up (under the plug-in's global lock) -------------------------
  // Engine folder from entry 9 of the services table, library verified,
  // loaded and bound, settings read, the four global options set.
  // kCommonOk when already ready; kEngineLoadFailed for no folder or no
  // library; a mapped engine status when an option is refused.
  std::int32_t Initialize() noexcept;
  // Hands the host's RCM record to the engine (serving role only), opens the main session and
  // loads its own pattern. Writes the address of the main session handle
  // into *mainSessionHandle (before the session is opened, as the plug-in
  // expects; valid until this driver is destroyed).
  std::int32_t InitMainSession(const std::int32_t** mainSessionHandle) noexcept;

  // --- Sessions -------------------------------------------------------------
  // TKInit; on success enters (handle -> owner) in the session context map
  // and (handle -> callerName) in this driver's name map.
  std::int32_t OpenSession(std::int32_t* handle, ISessionOwner* owner, std::string_view callerName) noexcept;
  // TKQuit; on success erases the handle from both maps (kept on failure).
  std::int32_t CloseSession(std::int32_t handle) noexcept;
  // TKReadSpywarePattern, sharing the main session's pattern when `shared`.
  std::int32_t LoadPattern(std::int32_t handle, bool shared) noexcept;
  // "    TARSK error: <code>: <text>" at level 5, when the library is ready.
  void LogEngineError(std::int32_t handle) noexcept;
  // The failure of an engine call that answered `status` != 0: `failure` +
  // status at level 5, then the engine's last error for `handle`. Answers
  // MapEngineStatus(status).
  std::int32_t EngineFailure(std::int32_t handle, std::u16string_view failure, std::int32_t status) noexcept;
  // Shared-locked lookup in the session context map; null when absent.
  static ISessionOwner* GetSessionContext(std::int32_t handle) noexcept;
  // Removes every context-map entry that names `owner`, so that nothing
  // reaches an owner that is going away with its session still open.
  static void DetachSessionOwner(const ISessionOwner* owner) noexcept;

  // Pattern property 1 through the main session / engine property 1, into
  // `buffer` of kPropertyCapacity (15) characters.
  std::int32_t GetPatternProperty(char16_t* buffer) noexcept;
  std::int32_t GetEngineProperty(char16_t* buffer) noexcept;

  bool IsReady() const noexcept { return library_.IsReady(); }
  std::int32_t MainSession() const noexcept { return main_session_; }

  // --- Scanning (scan.cpp) ---------------------------------------------------
  // Prepares the session's scanners and options, runs TKScan under the scan
  // lock and, when a clean flag is set, hands over to BackupAndClean.
  std::int32_t StartScan(std::int32_t handle, bool doSpywareClean, bool doCookieClean, bool backup,
                         const std::u16string& backupFolder, const ScanSettings& settings) noexcept;
  // The default scanner set, scanner 12 by setting 0x12770003, option 13.
  std::int32_t PrepareScan(std::int32_t handle, const ScanSettings& settings) noexcept;
  std::int32_t EnableScanner(std::int32_t handle, std::uint32_t scannerId) noexcept;
  std::int32_t SetScannerState(std::int32_t handle, bool enable) noexcept;
  std::int32_t ApplyScanOption(std::int32_t handle) noexcept;
  std::int32_t SetProcessCallbackFunction(std::int32_t handle, PFN_TKCallback callback) noexcept;
  // Sets the owner's stop flag and stops the engine's scan on `handle`.
  std::int32_t StopScan(std::int32_t handle) noexcept;
  // Stops the lowest-handled session opened under `callerName`.
  std::int32_t StopScanByName(std::string_view callerName) noexcept;
  // Stops every session but the main one; results ignored.
  void StopAllScans() noexcept;

  // --- Cleaning (cleanup.cpp) -------------------------------------------------
  // Backs the session's items up (when asked), cleans them and reports each
  // result to the session's owner; the items are removed at the end. A failed
  // backup answers its code before anything is selected or cleaned, and the
  // items stay in the session.
  std::int32_t BackupAndClean(std::int32_t handle, bool doSpywareClean, bool doCookieClean, bool backup,
                              const std::u16string& backupFolder) noexcept;
  // Selects, cleans and reports the session's items, then removes them all.
  std::int32_t SpywareDoCleanup(std::int32_t handle, bool doSpywareClean, bool doCookieClean, bool backup) noexcept;
  // Selects every item, then deselects those that must stay (by kind, clean
  // flags, result flag 0x10 with backup, the host's file check, an item the
  // engine cannot hand out). cleanFlags gets one entry per item: true when
  // the host's file check kept it out. kCommonOk; a failed selection or
  // deselection answers its mapped code, and then nothing may be cleaned.
  std::int32_t SelectItemsForClean(std::int32_t handle, std::int32_t count, bool backup, bool doSpywareClean,
                                   bool doCookieClean, std::vector<bool>& cleanFlags) noexcept;
  // TKClean under the clean lock.
  std::int32_t CleanItems(std::int32_t handle) noexcept;
  // One clean-result report (event 1001) per item to the session's owner;
  // items beyond cleanFlags are reported with flag 0.
  void SendCleanResult(std::int32_t handle, const std::vector<bool>& cleanFlags) noexcept;

  // --- Backup (backup.cpp) -----------------------------------------------------
  // One TKBackup per company of the session's items, each file moved into
  // `backupFolder` and reported (event 1000). Succeeds only when every item
  // that `cleaning` takes went into a backup file that now lies in the
  // backup folder; otherwise the files that could not be moved stay in their
  // work folders. Items the cleaning leaves alone need no backup.
  std::int32_t SpywareBackup(std::int32_t handle, const std::u16string& backupFolder,
                             const CleanScope& cleaning = CleanScope{true, true, true}) noexcept;
  // Selects exactly the items of `companyName` (indexes below `count`), sets
  // their done bits and writes how many were selected. A refused engine call
  // answers its mapped code (logged); the selection is then unknown.
  // REQUIRES: doneBits.size() == count.
  std::int32_t SelectItemsByCompany(std::int32_t handle, const std::u16string& companyName, std::int32_t count,
                                    std::int32_t& selected, std::vector<bool>& doneBits) noexcept;

  // --- Restore (restore.cpp) and referential scans (referential.cpp) ---------
  // Restores one backup file named by its full path.
  std::int32_t SpywareRestore(std::int32_t handle, const std::u16string& restoreFile) noexcept;
  // Hands one referential item to the engine; -100/-101 answer success-class
  // codes.
  std::int32_t AddReferentialScanItem(std::int32_t handle, const ZEVO_ReferentialItem& item) noexcept;
  // TKScanRelatedReferences under the clean lock, then BackupAndClean when a
  // clean flag is set.
  std::int32_t StartReferentialScan(std::int32_t handle, bool doSpywareClean, bool doCookieClean, bool backup,
                                    const std::u16string& backupFolder, const ScanSettings& settings) noexcept;

  // --- Tables ----------------------------------------------------------------
  // The module-wide tables this driver reads (not owned; set by the plug-in,
  // which refills them by publishing a new set while scans read them).
  void SetTables(const PublishedTables* tables) noexcept { tables_.store(tables, std::memory_order_release); }

  // Read a whole engine table through `handle` (the main session) into the
  // given table, which is emptied first and sealed afterwards.
  std::int32_t EnumerateItemId(std::int32_t handle, ItemTable& table) noexcept;
  std::int32_t EnumerateThreatLevel(std::int32_t handle, ThreatTable& table) noexcept;
  std::int32_t EnumerateCompanyIdNameTable(std::int32_t handle, CompanyIdNameTable& table) noexcept;

  // Company id of a product item: the item table, else a keyed engine read;
  // 0 when unknown.
  std::int32_t GetCompanyIdOfItem(std::int32_t handle, std::int32_t itemId) noexcept;
  // Company name of an id: the company table, else a keyed engine read;
  // empty when unknown.
  void GetCompanyName(std::u16string& name, std::int32_t handle, std::int32_t companyId) noexcept;
  // Custom-range items (0x6e000000..0x6f000000) carry their own company
  // text; the others go through GetCompanyIdOfItem and GetCompanyName.
  void GetCompanyNameOfItem(std::int32_t handle, const TKC_ITEM& item, std::u16string& name) noexcept;
  // What an item report needs: the threat level of the item's type, and
  // (when `name` is given) the company name as GetCompanyNameOfItem gives
  // it. One read of the tables for both; the engine only for what they lack.
  std::int32_t DescribeItem(std::int32_t handle, const TKC_ITEM& item, std::u16string* name) noexcept;
  // The company table only; -1 (logged) when absent.
  std::int32_t GetCompanyIdByName(std::int32_t handle, std::u16string_view name) noexcept;
  // Empties `ids`, then one id (or -1) per name, in order.
  void GetCompanyIdsByNames(std::int32_t handle, const std::vector<std::u16string>& names,
                            std::vector<std::int32_t>& ids) noexcept;
  // Puts the whole company table into `message` (CompanyIdNameTable::
  // WriteToMessage): true only when it then holds a name and an id.
  bool WriteCompanyTable(const ZEVO_DataHandle& message) const noexcept;
  // Whitelists the company of that name for `handle`'s scans.
  std::int32_t AddWhitelistItem(std::int32_t handle, std::u16string_view companyName) noexcept;
  // One row by key (field 0); empty when the engine has none.
  std::u16string GetTableRow(std::int32_t handle, std::int32_t tableId, std::int32_t key) noexcept;
  // The stored threat level, 50 when the type (or the table) is absent.
  std::int32_t GetThreatLevel(std::int32_t threatTypeId) const noexcept;

 private:
  // The backups of SpywareBackup, once the backup folder is there; the
  // first of one company after SelectItemsByCompany selected its items.
  std::int32_t BackupEveryCompany(std::int32_t handle, const std::u16string& backupFolder, std::int32_t count,
                                  const CleanScope& cleaning) noexcept;
  std::int32_t BackupCompany(std::int32_t handle, const std::u16string& backupFolder,
                             const std::u16string& companyName) noexcept;
  // Moves the backup file of `workFolder` into `backupFolder` and reports it;
  // removes the work folder unless the file is still in it.
  std::int32_t StoreBackupFile(std::int32_t handle, const std::u16string& backupFolder,
                               const std::u16string& workFolder, const std::u16string& companyName,
                               bool backupWritten) noexcept;
  // Whether item `index` may be cleaned, and its clean flag (SelectItemsForClean).
  struct CleanDecision {
    bool clean;
    bool keptByFileCheck;
  };
  CleanDecision DecideItem(std::int32_t handle, std::uint32_t index, const CleanScope& cleaning,
                           config::PluginInterfaceClass& fileCheck) noexcept;
  // Hands a report the driver itself makes (events 1000, 1001) to the
  // callback registered for the session, when the session has an owner.
  void ReportToOwner(std::int32_t handle, std::int32_t event, std::int32_t c, std::int32_t d, void* data) noexcept;

  void LoadSettings() noexcept;
  std::int32_t SetGlobalOption(std::int32_t option, const std::u16string& value) noexcept;
  const TkFunctionTable& Engine() const noexcept { return library_.Functions(); }

  // Members in the engine's order of concern; see engine_tarsk.cpp.
  std::atomic<const PublishedTables*> tables_{nullptr};
  std::map<std::int32_t, std::string> session_names_ ZEVO_GUARDED_BY(g_sessionLock);
  std::int32_t engine_mode_ = kEngineModeDefault;
  std::u16string debug_folder_;
  std::u16string temp_folder_;
  engine::TarskLib library_;
  std::int32_t main_session_ = 0;
  std::unique_ptr<config::PluginInterfaceClass> rcm_;
  SPluginInterfaceOrganizer* const organizer_;
  const Role role_ = Role::kServing;
  os::ReaderWriterLock scan_lock_;
  os::ReaderWriterLock clean_lock_;
  os::ReaderWriterLock backup_lock_;
  os::ReaderWriterLock restore_lock_;
  // The callback last given to SetProcessCallbackFunction (the engine
  // interface's), through which the driver's own reports reach the owner.
  std::atomic<PFN_TKCallback> process_callback_{nullptr};
};

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_ENGINE_TARSK_H_
