// The TARSK engine's API: the 66 exported TK* entry points of tarsk64.dll,
// its callback and its constants. C++20.
//
// Conventions of every entry point:
//   - result: int32 status, 0 = success (the driver maps any other value r to
//     zevo::MapEngineStatus(r), result.h);
//   - h: the signed 32-bit session handle from TKInit, always first (0 =
//     global where a function says so); the engine's `long` is int32_t on
//     every platform;
//   - texts: UTF-16, NUL-terminated on input; output buffers are followed by
//     their capacity in characters (terminator included);
//   - out pointers come last; "all" is 0xFFFFFFFF passed as uint32_t.
// The entry points the plug-in calls carry the engine's documented
// arguments. The others are never called by the plug-in; their signatures below are this project's
// choice, documented in one line each, and the reference engine follows them.
//
// For an engine implementation: the FN_* aliases are function types, so
//   extern "C" ZEVO_DLL_EXPORT zevo::FN_TKInit TKInit;
// declares an export whose signature the compiler checks against its
// definition.
#ifndef ZEVO_ENGINE_API_H
#define ZEVO_ENGINE_API_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "zevo/platform.h"
#include "zevo/records.h"

namespace zevo {

// The engine's progress callback (registered with TKSetCallbackFunc): session
// handle, event code, two event arguments, event data (a TKC_ITEM* for events
// 2 and 1001). Its result is ignored by the engine; the plug-in returns 0.
using FN_TKCallback = std::int32_t(std::int32_t h, std::int32_t event, std::int32_t c, std::int32_t d, void* data);
using PFN_TKCallback = FN_TKCallback*;

// ---------------------------------------------------------------------------
// Entry points in loader table order (numbers in brackets).
// ---------------------------------------------------------------------------

// [1] Hands the host's RCM record to the engine: (0, record, 592); at
// shutdown (0, null, 0).
using FN_TKSetRCMTable = std::int32_t(std::int32_t h, const ZEVO_RcmRecord* rcmTable, std::uint32_t rcmTableSize);
// [2] Opens a session for `caller` (the driver passes kTkInitVersion).
using FN_TKInit = std::int32_t(const char16_t* caller, std::int32_t version, std::int32_t* outHandle);
// [3] Closes session h; h is dead afterwards.
using FN_TKQuit = std::int32_t(std::int32_t h);
// [4] Loads the pattern into h, sharing that of `sharedSession` (0 = own load).
using FN_TKReadSpywarePattern = std::int32_t(std::int32_t h, std::int32_t sharedSession, std::int32_t reserved1,
                                             std::int32_t reserved2);
// [5] Pattern property `property` (kPropertyVersion) as text.
using FN_TKGetPatternProperty = std::int32_t(std::int32_t h, std::int32_t property, char16_t* buffer,
                                             std::int32_t capacity);
// [6] Unlisted: writes 1 to *outLoaded when h has a pattern, else 0.
using FN_TKIsSpywarePatternLoaded = std::int32_t(std::int32_t h, std::int32_t* outLoaded);
// [7] Scans with the enabled scanners; `target` is empty (the whole scope).
using FN_TKScan = std::int32_t(std::int32_t h, const char16_t* target);
// [8] Unlisted: TKScan restricted to one scanner (kAllScanners = every one).
using FN_TKScanEx = std::int32_t(std::int32_t h, const char16_t* target, std::uint32_t scannerId);
// [9] Unlisted: scans one folder, its subfolders too when `recursive` != 0.
using FN_TKScanDir = std::int32_t(std::int32_t h, const char16_t* folder, std::int32_t recursive);
// [10] Unlisted: scans one file.
using FN_TKScanFile = std::int32_t(std::int32_t h, const char16_t* file);
// [11] Stops a scan running on h (may run while TKScan runs on h).
using FN_TKStopScan = std::int32_t(std::int32_t h);
// [12] Unlisted: reads option `option` of h (0 = global) as text.
using FN_TKGetOption = std::int32_t(std::int32_t h, std::int32_t option, char16_t* value, std::int32_t capacity);
// [13] Sets option `option` (kOption*) of h, 0 = global, to a text value.
using FN_TKSetOption = std::int32_t(std::int32_t h, std::int32_t option, const char16_t* value);
// [14] Registers the progress callback of h.
using FN_TKSetCallbackFunc = std::int32_t(std::int32_t h, PFN_TKCallback callback);
// [15] Enables (1) or disables (0) a scanner, kAllScanners = every one.
using FN_TKEnableScanner = std::int32_t(std::int32_t h, std::uint32_t scannerId, std::int32_t enable);
// [16] Engine property `property` (kPropertyVersion) as text; no session.
using FN_TKGetEngineProperty = std::int32_t(std::int32_t property, char16_t* buffer, std::int32_t capacity);
// [17] Number of items found in h.
using FN_TKGetItemCount = std::int32_t(std::int32_t h, std::int32_t* outCount);
// [18] Unlisted: number of items of h found by one scanner.
using FN_TKGetItemCountByScannerId = std::int32_t(std::int32_t h, std::uint32_t scannerId, std::int32_t* outCount);
// [19] Copies item `index`; item->size must hold 3428 (ZEVO_TKC_ITEM_SIZE).
using FN_TKGetItem = std::int32_t(std::int32_t h, std::uint32_t index, TKC_ITEM* item);
// [20] Selects (1) or deselects (0) item `index`, kAllItems = every one.
using FN_TKSelectItems = std::int32_t(std::int32_t h, std::uint32_t index, std::int32_t select);
// [21] Unlisted: appends a copy of `item` to h's items; its index to *outIndex.
using FN_TKAddItem = std::int32_t(std::int32_t h, const TKC_ITEM* item, std::uint32_t* outIndex);
// [22] Unlisted: replaces item `index` of h by a copy of `item`.
using FN_TKUpdateItem = std::int32_t(std::int32_t h, std::uint32_t index, const TKC_ITEM* item);
// [23] Removes item `index` from h, kAllItems = every one.
using FN_TKRemoveItems = std::int32_t(std::int32_t h, std::uint32_t index);
// [24] Unlisted: number of selected items of h found by one scanner (or all).
using FN_TKGetCountSelectedByScannerId = std::int32_t(std::int32_t h, std::uint32_t scannerId, std::int32_t* outCount);
// [25] Unlisted: replaces h's whitelist by the one stored in `file`.
using FN_TKLoadWhitelist = std::int32_t(std::int32_t h, const char16_t* file);
// [26] Unlisted: first whitelist entry of h; nonzero when there is none.
using FN_TKGetFirstWhitelistItem = std::int32_t(std::int32_t h, TKC_WHITELIST_ITEM* item);
// [27] Unlisted: next whitelist entry of h; nonzero at the end.
using FN_TKGetNextWhitelistItem = std::int32_t(std::int32_t h, TKC_WHITELIST_ITEM* item);
// [28] Adds an entry (whitelist record) to h's whitelist.
using FN_TKAddWhitelistItem = std::int32_t(std::int32_t h, const TKC_WHITELIST_ITEM* item);
// [29] Unlisted: removes whitelist entry `index`, kAllItems = every one.
using FN_TKRemoveWhitelistItems = std::int32_t(std::int32_t h, std::uint32_t index);
// [30] Unlisted: enables (1) or disables (0) whitelist entry `index` (or all).
using FN_TKToggleWhitelistItems = std::int32_t(std::int32_t h, std::uint32_t index, std::int32_t enable);
// [31] Unlisted: writes 1 to *outListed when `item` matches h's whitelist.
using FN_TKCheckWhitelist = std::int32_t(std::int32_t h, const TKC_ITEM* item, std::int32_t* outListed);
// [32] Unlisted: number of entries of h's whitelist.
using FN_TKGetWhitelistCount = std::int32_t(std::int32_t h, std::int32_t* outCount);
// [33] Unlisted: stores h's whitelist in `file`.
using FN_TKSaveWhitelist = std::int32_t(std::int32_t h, const char16_t* file);
// [34] Unlisted: replaces h's blacklist by the one stored in `file`.
using FN_TKLoadBlacklist = std::int32_t(std::int32_t h, const char16_t* file);
// [35] Unlisted: first blacklist entry (same record as the whitelist).
using FN_TKGetFirstBlacklistItem = std::int32_t(std::int32_t h, TKC_WHITELIST_ITEM* item);
// [36] Unlisted: next blacklist entry; nonzero at the end.
using FN_TKGetNextBlacklistItem = std::int32_t(std::int32_t h, TKC_WHITELIST_ITEM* item);
// [37] Unlisted: adds an entry to h's blacklist.
using FN_TKAddBlacklistItem = std::int32_t(std::int32_t h, const TKC_WHITELIST_ITEM* item);
// [38] Unlisted: removes blacklist entry `index`, kAllItems = every one.
using FN_TKRemoveBlacklistItems = std::int32_t(std::int32_t h, std::uint32_t index);
// [39] Unlisted: enables (1) or disables (0) blacklist entry `index` (or all).
using FN_TKToggleBlacklistItems = std::int32_t(std::int32_t h, std::uint32_t index, std::int32_t enable);
// [40] Unlisted: writes 1 to *outListed when `item` matches h's blacklist.
using FN_TKCheckBlacklist = std::int32_t(std::int32_t h, const TKC_ITEM* item, std::int32_t* outListed);
// [41] Unlisted: number of entries of h's blacklist.
using FN_TKGetBlacklistCount = std::int32_t(std::int32_t h, std::int32_t* outCount);
// [42] Unlisted: stores h's blacklist in `file`.
using FN_TKSaveBlacklist = std::int32_t(std::int32_t h, const char16_t* file);
// [43] Cleans the selected items of h; `target` is empty.
using FN_TKClean = std::int32_t(std::int32_t h, const char16_t* target);
// [44] Unlisted: cleans every item of h that belongs to company `companyName`.
using FN_TKCleanByName = std::int32_t(std::int32_t h, const char16_t* companyName);
// [45] Backs the selected items of h up into one *.tkb file in the backup path
// (option 14) named with the backup prefix (option 16); `target` is empty.
using FN_TKBackup = std::int32_t(std::int32_t h, const char16_t* target);
// [46] Restores backup file `backupFile` from the backup path (option 14).
using FN_TKRestore = std::int32_t(std::int32_t h, const char16_t* backupFile);
// [47] Unlisted: loads the items of backup file `backupFile` (in the backup
// path) into h's item list, replacing it; their number to *outCount.
using FN_TKGetBackupItems = std::int32_t(std::int32_t h, const char16_t* backupFile, std::int32_t* outCount);
// [48] Opens a sequential enumeration of table `tableId` (kTable*); a
// negative *outEnumeration is a failure.
using FN_TKOpenTableSeqEnum = std::int32_t(std::int32_t h, std::int32_t tableId, std::int32_t* outEnumeration);
// [49] Unlisted: opens an enumeration of the rows whose field `keyField`
// equals the text `key`.
using FN_TKOpenTableStrEnum = std::int32_t(std::int32_t h, std::int32_t tableId, std::int32_t keyField,
                                           const char16_t* key, std::int32_t* outEnumeration);
// [50] Opens an enumeration of the rows whose field `keyField` (the driver
// passes kFieldId) equals the number `key`.
using FN_TKOpenTableLongEnum = std::int32_t(std::int32_t h, std::int32_t tableId, std::int32_t keyField,
                                            std::int32_t key, std::int32_t* outEnumeration);
// [51] Closes an enumeration.
using FN_TKCloseHandle = std::int32_t(std::int32_t h, std::int32_t enumeration);
// [52] First row of an enumeration (fields split by kRowFieldSeparator);
// nonzero = no row.
using FN_TKGetFirstRow = std::int32_t(std::int32_t h, std::int32_t enumeration, char16_t* row, std::int32_t capacity);
// [53] Next row; nonzero = no more rows.
using FN_TKGetNextRow = std::int32_t(std::int32_t h, std::int32_t enumeration, char16_t* row, std::int32_t capacity);
// [54] The row of a keyed enumeration; kNoRow when the key has none.
using FN_TKGetRowById = std::int32_t(std::int32_t h, std::int32_t enumeration, char16_t* row, std::int32_t capacity);
// [55] Unlisted: first row of the enumeration whose field `field` equals `value`.
using FN_TKGetFirstRowByField = std::int32_t(std::int32_t h, std::int32_t enumeration, std::int32_t field,
                                             const char16_t* value, char16_t* row, std::int32_t capacity);
// [56] Unlisted: next such row; nonzero at the end.
using FN_TKGetNextRowByField = std::int32_t(std::int32_t h, std::int32_t enumeration, std::int32_t field,
                                            const char16_t* value, char16_t* row, std::int32_t capacity);
// [57] Unlisted: first row whose key field (of the enumeration) equals text `key`.
using FN_TKGetFirstRowByStrKey = std::int32_t(std::int32_t h, std::int32_t enumeration, const char16_t* key,
                                              char16_t* row, std::int32_t capacity);
// [58] Unlisted: next such row; nonzero at the end.
using FN_TKGetNextRowByStrKey = std::int32_t(std::int32_t h, std::int32_t enumeration, const char16_t* key,
                                             char16_t* row, std::int32_t capacity);
// [59] Unlisted: first row whose key field equals the number `key`.
using FN_TKGetFirstRowByLongKey = std::int32_t(std::int32_t h, std::int32_t enumeration, std::int32_t key,
                                               char16_t* row, std::int32_t capacity);
// [60] Unlisted: next such row; nonzero at the end.
using FN_TKGetNextRowByLongKey = std::int32_t(std::int32_t h, std::int32_t enumeration, std::int32_t key, char16_t* row,
                                              std::int32_t capacity);
// [61] Unlisted: the engine's state for h (0 idle, 1 scanning, 2 cleaning).
using FN_TKGetEngineStatus = std::int32_t(std::int32_t h, std::int32_t* outStatus);
// [62] The last error of h (0 = global): code and zero-terminated text.
using FN_TKGetLastError = std::int32_t(std::int32_t h, std::int32_t* outCode, char16_t* text, std::int32_t capacity);
// [63] Adds a referential scan item: three texts of up to 260 characters and
// flags 0; kReferentialWarning* are warnings, not failures.
using FN_TKAddReferentialScanItem = std::int32_t(std::int32_t h, const char16_t* first, const char16_t* second,
                                                 const char16_t* third, std::int32_t flags);
// [64] Unlisted: removes the referential scan item with these three texts.
using FN_TKRemoveReferentialScanItem = std::int32_t(std::int32_t h, const char16_t* first, const char16_t* second,
                                                    const char16_t* third);
// [65] Scans for what relates to the referential items; `target` is empty.
using FN_TKScanRelatedReferences = std::int32_t(std::int32_t h, const char16_t* target);
// [66] Indexes of h's items of company `companyName`: with indexes == null,
// writes the number of matches to *inOutCount; otherwise fills at most
// *inOutCount indexes and writes the number written.
using FN_TKGetItemIndexByCompanyName = std::int32_t(std::int32_t h, const char16_t* companyName, std::uint32_t* indexes,
                                                    std::int32_t* inOutCount);

// ---------------------------------------------------------------------------
// The 66 names in loader table order: X(name) per entry point.
// ---------------------------------------------------------------------------
#define ZEVO_TK_FUNCTIONS(X)                                                                                         \
  X(TKSetRCMTable)                                                                                                   \
  X(TKInit) X(TKQuit) X(TKReadSpywarePattern) X(TKGetPatternProperty) X(TKIsSpywarePatternLoaded) X(TKScan)          \
      X(TKScanEx) X(TKScanDir) X(TKScanFile) X(TKStopScan) X(TKGetOption) X(TKSetOption) X(TKSetCallbackFunc)        \
          X(TKEnableScanner) X(TKGetEngineProperty) X(TKGetItemCount) X(TKGetItemCountByScannerId) X(TKGetItem)      \
              X(TKSelectItems) X(TKAddItem) X(TKUpdateItem) X(TKRemoveItems) X(TKGetCountSelectedByScannerId)        \
                  X(TKLoadWhitelist) X(TKGetFirstWhitelistItem) X(TKGetNextWhitelistItem) X(TKAddWhitelistItem)      \
                      X(TKRemoveWhitelistItems) X(TKToggleWhitelistItems) X(TKCheckWhitelist) X(TKGetWhitelistCount) \
                          X(TKSaveWhitelist) X(TKLoadBlacklist) X(TKGetFirstBlacklistItem) X(TKGetNextBlacklistItem) \
                              X(TKAddBlacklistItem) X(TKRemoveBlacklistItems) X(TKToggleBlacklistItems)              \
                                  X(TKCheckBlacklist) X(TKGetBlacklistCount) X(TKSaveBlacklist) X(TKClean)           \
                                      X(TKCleanByName) X(TKBackup) X(TKRestore) X(TKGetBackupItems)                  \
                                          X(TKOpenTableSeqEnum) X(TKOpenTableStrEnum) X(TKOpenTableLongEnum)         \
                                              X(TKCloseHandle) X(TKGetFirstRow) X(TKGetNextRow) X(TKGetRowById)      \
                                                  X(TKGetFirstRowByField) X(TKGetNextRowByField)                     \
                                                      X(TKGetFirstRowByStrKey) X(TKGetNextRowByStrKey)               \
                                                          X(TKGetFirstRowByLongKey) X(TKGetNextRowByLongKey)         \
                                                              X(TKGetEngineStatus) X(TKGetLastError)                 \
                                                                  X(TKAddReferentialScanItem)                        \
                                                                      X(TKRemoveReferentialScanItem)                 \
                                                                          X(TKScanRelatedReferences)                 \
                                                                              X(TKGetItemIndexByCompanyName)

// Pointer types, one per entry point: PFN_TKInit = FN_TKInit*, ...
#define ZEVO_TK_DEFINE_PFN(name) using PFN_##name = FN_##name*;
ZEVO_TK_FUNCTIONS(ZEVO_TK_DEFINE_PFN)
#undef ZEVO_TK_DEFINE_PFN

inline constexpr std::size_t kTkFunctionCount = 66;

// The names as GetProcAddress/dlsym take them, in loader table order.
inline constexpr std::array<const char*, kTkFunctionCount> kTkFunctionNames = {
#define ZEVO_TK_NAME(name) #name,
    ZEVO_TK_FUNCTIONS(ZEVO_TK_NAME)
#undef ZEVO_TK_NAME
};

// One typed pointer per entry point, in loader table order (pointer 1 =
// TKSetRCMTable ... pointer 66 = TKGetItemIndexByCompanyName). Null = not
// bound. Fakes in tests fill the members they need.
struct TkFunctionTable {
#define ZEVO_TK_MEMBER(name) PFN_##name name = nullptr;
  ZEVO_TK_FUNCTIONS(ZEVO_TK_MEMBER)
#undef ZEVO_TK_MEMBER
};

static_assert(sizeof(TkFunctionTable) == kTkFunctionCount * sizeof(void*),
              "ZEVO_TK_FUNCTIONS lists exactly 66 entry points");
static_assert(offsetof(TkFunctionTable, TKSetRCMTable) == 0);
static_assert(offsetof(TkFunctionTable, TKClean) == 42 * sizeof(void*));
static_assert(offsetof(TkFunctionTable, TKBackup) == 44 * sizeof(void*));
static_assert(offsetof(TkFunctionTable, TKGetItemIndexByCompanyName) == 65 * sizeof(void*));

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------

// File names: the engine library in the engine folder, and its pattern.
inline constexpr std::u16string_view kEngineFileName = u"tarsk64.dll";
inline constexpr std::u16string_view kPatternFileName = u"tarskptn.da6";

// Second argument of TKInit.
inline constexpr std::int32_t kTkInitVersion = 6;

// Scanner ids (TKEnableScanner, *ByScannerId).
inline constexpr std::uint32_t kAllScanners = 0xFFFFFFFFu;
inline constexpr std::uint32_t kDefaultScanners = 0xFFFFFFFEu;  // enabled before each scan
inline constexpr std::uint32_t kSettingScanner = 12;            // off when the setting 0x12770003 is 11
// Item index meaning every item (TKSelectItems, TKRemoveItems, list removals).
inline constexpr std::uint32_t kAllItems = 0xFFFFFFFFu;

// Engine mode value (option 12): 1 or 2, 1 by default.
inline constexpr std::int32_t kEngineModeDefault = 1;
inline constexpr std::int32_t kEngineModeAlternate = 2;

// Option ids of TKSetOption (value always a text).
inline constexpr std::int32_t kOptionEngineFolder = 0;   // global, with trailing separator
inline constexpr std::int32_t kOptionDebugFolder = 1;    // global
inline constexpr std::int32_t kOptionEngineMode = 12;    // global, "1" or "2"
inline constexpr std::int32_t kOptionScanOption = 13;    // session, "1" before every scan
inline constexpr std::int32_t kOptionBackupPath = 14;    // session, backup/restore folder
inline constexpr std::int32_t kOptionBackupPrefix = 16;  // session, company name
inline constexpr std::int32_t kOptionGlobalSwitch = 23;  // global, "TRUE"

// Property id of TKGetPatternProperty / TKGetEngineProperty: the version
// text; the driver passes the capacity kPropertyCapacity.
inline constexpr std::int32_t kPropertyVersion = 1;
inline constexpr std::int32_t kPropertyCapacity = 15;
// Capacity of the TKGetLastError text.
inline constexpr std::int32_t kLastErrorCapacity = 255;

// Callback events.
inline constexpr std::int32_t kEventProgress1 = 1;       // the engine's; passed on unchanged
inline constexpr std::int32_t kEventItemFound = 2;       // data: TKC_ITEM*
inline constexpr std::int32_t kEventProgress3 = 3;       // the engine's; passed on unchanged
inline constexpr std::int32_t kEventBackupFile = 1000;   // data: ZEVO_BackupReport*
inline constexpr std::int32_t kEventCleanResult = 1001;  // data: TKC_ITEM*, d = clean flag

// Tables (TKOpenTable*Enum) and the fields the plug-in reads (0-based).
inline constexpr std::int32_t kTableProductItems = 1;  // DAT_TABLEID_PRODUCTITEMS
inline constexpr std::int32_t kTableCompany = 2;       // DAT_TABLEID_COMPANY
inline constexpr std::int32_t kTableThreatTypes = 3;   // DAT_TABLEID_THREATTYPES
inline constexpr std::int32_t kFieldId = 0;            // key field of every table
inline constexpr std::int32_t kFieldProductItemCompanyId = 1;
inline constexpr std::int32_t kFieldCompanyName = 1;
inline constexpr std::int32_t kFieldThreatLevel = 4;

// Rows: one text of at most kRowCapacity characters, fields split by U+007F.
inline constexpr char16_t kRowFieldSeparator = u'\x7f';
inline constexpr std::int32_t kRowCapacity = 2048;
inline constexpr std::int32_t kNoRow = -2000;  // TKGetRowById: the key has no row

// Warnings of TKAddReferentialScanItem (mapped with MapEngineWarning).
inline constexpr std::int32_t kReferentialWarningFirst = -100;
inline constexpr std::int32_t kReferentialWarningSecond = -101;

}  // namespace zevo

#endif  // ZEVO_ENGINE_API_H
