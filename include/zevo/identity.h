/* Module identity of plugEngineTARSK and the host's version record.
 * Plain C11 / C++20. */
#ifndef ZEVO_IDENTITY_H
#define ZEVO_IDENTITY_H

#include "zevo/platform.h"

#define ZEVO_MODULE_ID 10001u                    /* 0x2711 */
#define ZEVO_IID_ENGINE_INTERFACE 100011u        /* 0x186ab, ITarskEngineInterface */
#define ZEVO_IID_ENGINE_STATUS_INTERFACE 100012u /* 0x186ac, ITarskEngineStatusInterface */

#define ZEVO_VERSION_MAJOR 2u
#define ZEVO_VERSION_MINOR 1u
#define ZEVO_VERSION_BUILD 1248u

/* Function numbers of ITarskEngineInterface::CallFunc. */
#define ZEVO_FN_OPEN_SESSION 0u /* first: open block (records.h) or null */
#define ZEVO_FN_CLOSE_SESSION 1u
#define ZEVO_FN_START_SCAN 2u             /* first: ZEVO_ScanOptions or null */
#define ZEVO_FN_ADD_REFERENTIAL_ITEM 3u   /* first: ZEVO_ReferentialItem */
#define ZEVO_FN_START_REFERENTIAL_SCAN 4u /* first: ZEVO_ScanOptions or null */
#define ZEVO_FN_SET_PROGRESS_SINK 5u      /* first: the host's IProgressSink */
#define ZEVO_FN_BACKUP_AND_CLEAN 6u       /* first: one option byte (bBackup) or null */
#define ZEVO_FN_RESTORE 7u                /* first: const char16_t* backup file */
#define ZEVO_FN_STOP_SCAN_BY_NAME 8u      /* first: const char* const* caller name */
#define ZEVO_FN_GET_PATTERN_VERSION 9u    /* first: output buffer */
#define ZEVO_FN_GET_ENGINE_VERSION 10u    /* first: output buffer */
#define ZEVO_FN_QUERY 8282u               /* 0x205a, host_blocks.h */
#define ZEVO_FN_NAME_ID_BY_TABLE 8283u    /* 0x205b, host_blocks.h */

/* The host's version record: three unsigned 32-bit integers. */
typedef struct VersionInfo {
  uint32_t major; /* 2 */
  uint32_t minor; /* 1 */
  uint32_t build; /* 1248 */
} VersionInfo;

ZEVO_STATIC_ASSERT(sizeof(VersionInfo) == 12, "VersionInfo is 12 bytes");
ZEVO_STATIC_ASSERT(offsetof(VersionInfo, major) == 0, "VersionInfo.major");
ZEVO_STATIC_ASSERT(offsetof(VersionInfo, minor) == 4, "VersionInfo.minor");
ZEVO_STATIC_ASSERT(offsetof(VersionInfo, build) == 8, "VersionInfo.build");

#ifdef __cplusplus
namespace zevo {

inline constexpr std::uint32_t kModuleId = ZEVO_MODULE_ID;
inline constexpr std::uint32_t kEngineInterfaceId = ZEVO_IID_ENGINE_INTERFACE;
inline constexpr std::uint32_t kEngineStatusInterfaceId = ZEVO_IID_ENGINE_STATUS_INTERFACE;

inline constexpr std::uint32_t kVersionMajor = ZEVO_VERSION_MAJOR;
inline constexpr std::uint32_t kVersionMinor = ZEVO_VERSION_MINOR;
inline constexpr std::uint32_t kVersionBuild = ZEVO_VERSION_BUILD;
inline constexpr VersionInfo kModuleVersion{kVersionMajor, kVersionMinor, kVersionBuild};

// Function numbers of ITarskEngineInterface::CallFunc.
inline constexpr std::uint32_t kFnOpenSession = ZEVO_FN_OPEN_SESSION;
inline constexpr std::uint32_t kFnCloseSession = ZEVO_FN_CLOSE_SESSION;
inline constexpr std::uint32_t kFnStartScan = ZEVO_FN_START_SCAN;
inline constexpr std::uint32_t kFnAddReferentialItem = ZEVO_FN_ADD_REFERENTIAL_ITEM;
inline constexpr std::uint32_t kFnStartReferentialScan = ZEVO_FN_START_REFERENTIAL_SCAN;
inline constexpr std::uint32_t kFnSetProgressSink = ZEVO_FN_SET_PROGRESS_SINK;
inline constexpr std::uint32_t kFnBackupAndClean = ZEVO_FN_BACKUP_AND_CLEAN;
inline constexpr std::uint32_t kFnRestore = ZEVO_FN_RESTORE;
inline constexpr std::uint32_t kFnStopScanByName = ZEVO_FN_STOP_SCAN_BY_NAME;
inline constexpr std::uint32_t kFnGetPatternVersion = ZEVO_FN_GET_PATTERN_VERSION;
inline constexpr std::uint32_t kFnGetEngineVersion = ZEVO_FN_GET_ENGINE_VERSION;
inline constexpr std::uint32_t kFnQuery = ZEVO_FN_QUERY;
inline constexpr std::uint32_t kFnNameIdByTable = ZEVO_FN_NAME_ID_BY_TABLE;

}  // namespace zevo
#endif

#endif /* ZEVO_IDENTITY_H */
