/* The host's services table SPluginInterfaceOrganizer and the
 * host connections the plug-in opens through it. C11 and C++20.
 *
 * The plug-in receives a pointer to the table from Plugin_Interface_Initialize
 * and never owns or frees it. It is a table of function pointers; every entry
 * receives the table pointer itself as its first argument. Only the entries
 * below are relied on; entries 3 to 8 are the host's and are never called. */
#ifndef ZEVO_ORGANIZER_H
#define ZEVO_ORGANIZER_H

#include "zevo/platform.h"

typedef struct SPluginInterfaceOrganizer SPluginInterfaceOrganizer;

/* Entry 0: opens a connection to another module's interface. `pair` holds the
 * module id in its low and the interface id in its high 32 bits
 * (ZEVO_MODULE_PAIR). Returns the connection handle, 0 when unavailable. */
typedef uint64_t (*ZEVO_OrganizerOpenFn)(SPluginInterfaceOrganizer* self, uint64_t pair);
/* Entry 1: releases a handle from entry 0. Its result is not relied on. */
typedef void (*ZEVO_OrganizerReleaseFn)(SPluginInterfaceOrganizer* self, uint64_t handle);
/* Entry 2: calls function `function` of the connected interface. */
typedef int32_t (*ZEVO_OrganizerCallFn)(SPluginInterfaceOrganizer* self, uint64_t handle, uint32_t function,
                                        void* input, void* output);
/* Entry 9: the wide path whose folder is the engine folder, or null. */
typedef const char16_t* (*ZEVO_OrganizerModulePathFn)(SPluginInterfaceOrganizer* self);

struct SPluginInterfaceOrganizer {
  ZEVO_OrganizerOpenFn OpenInterface;       /* entry 0 */
  ZEVO_OrganizerReleaseFn ReleaseInterface; /* entry 1 */
  ZEVO_OrganizerCallFn CallInterface;       /* entry 2 */
  void* reserved[6];                        /* entries 3..8: the host's, opaque */
  ZEVO_OrganizerModulePathFn GetModulePath; /* entry 9 */
};

#define ZEVO_ORGANIZER_ENTRY_OFFSET(n) ((n) * sizeof(void*))
ZEVO_STATIC_ASSERT(sizeof(SPluginInterfaceOrganizer) == ZEVO_ORGANIZER_ENTRY_OFFSET(10), "10 entries");
ZEVO_STATIC_ASSERT(offsetof(SPluginInterfaceOrganizer, OpenInterface) == ZEVO_ORGANIZER_ENTRY_OFFSET(0), "entry 0");
ZEVO_STATIC_ASSERT(offsetof(SPluginInterfaceOrganizer, ReleaseInterface) == ZEVO_ORGANIZER_ENTRY_OFFSET(1), "entry 1");
ZEVO_STATIC_ASSERT(offsetof(SPluginInterfaceOrganizer, CallInterface) == ZEVO_ORGANIZER_ENTRY_OFFSET(2), "entry 2");
ZEVO_STATIC_ASSERT(offsetof(SPluginInterfaceOrganizer, reserved) == ZEVO_ORGANIZER_ENTRY_OFFSET(3), "entries 3..8");
ZEVO_STATIC_ASSERT(offsetof(SPluginInterfaceOrganizer, GetModulePath) == ZEVO_ORGANIZER_ENTRY_OFFSET(9), "entry 9");

/* The 64-bit (module id, interface id) word of entry 0: module id low. */
#define ZEVO_MODULE_PAIR(module_id, interface_id) \
  ((((uint64_t)(uint32_t)(interface_id)) << 32) | (uint64_t)(uint32_t)(module_id))

/* Host connections the plug-in opens, and the function numbers it calls on
 * them through entry 2. */
#define ZEVO_SCAN_MANAGER_MODULE 2u /* command registration */
#define ZEVO_SCAN_MANAGER_INTERFACE 21u
#define ZEVO_SCAN_MANAGER_FN_REGISTER 14099u   /* 0x3713 */
#define ZEVO_SCAN_MANAGER_FN_UNREGISTER 14100u /* 0x3714 */

#define ZEVO_CONFIG_REPOSITORY_MODULE 5u /* configuration batches */
#define ZEVO_CONFIG_REPOSITORY_INTERFACE 51u
#define ZEVO_CONFIG_REPOSITORY_FN_READ 8209u  /* 0x2011, read flag set */
#define ZEVO_CONFIG_REPOSITORY_FN_WRITE 8210u /* 0x2012, read flag clear */

#define ZEVO_RCM_TABLE_MODULE 40000u /* RCM record */
#define ZEVO_RCM_TABLE_INTERFACE 400001u
#define ZEVO_RCM_TABLE_FN_GET 1u /* no input; output ZEVO_RcmRecord (592 bytes) */

#define ZEVO_FILE_CHECK_MODULE 10u /* file check before cleaning */
#define ZEVO_FILE_CHECK_INTERFACE 101u
#define ZEVO_FILE_CHECK_FN_CHECK 39107u /* ZEVO_FileCheckRequest -> ZEVO_FileCheckReply */

#ifdef __cplusplus
namespace zevo {

constexpr std::uint64_t MakeModulePair(std::uint32_t moduleId, std::uint32_t interfaceId) noexcept {
  return (static_cast<std::uint64_t>(interfaceId) << 32) | moduleId;
}
constexpr std::uint32_t PairModuleId(std::uint64_t pair) noexcept { return static_cast<std::uint32_t>(pair); }
constexpr std::uint32_t PairInterfaceId(std::uint64_t pair) noexcept { return static_cast<std::uint32_t>(pair >> 32); }

inline constexpr std::uint64_t kScanManagerPair = MakeModulePair(ZEVO_SCAN_MANAGER_MODULE, ZEVO_SCAN_MANAGER_INTERFACE);
inline constexpr std::uint64_t kConfigRepositoryPair =
    MakeModulePair(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE);
inline constexpr std::uint64_t kRcmTablePair = MakeModulePair(ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE);
inline constexpr std::uint64_t kFileCheckPair = MakeModulePair(ZEVO_FILE_CHECK_MODULE, ZEVO_FILE_CHECK_INTERFACE);

inline constexpr std::uint32_t kScanManagerRegister = ZEVO_SCAN_MANAGER_FN_REGISTER;
inline constexpr std::uint32_t kScanManagerUnregister = ZEVO_SCAN_MANAGER_FN_UNREGISTER;
inline constexpr std::uint32_t kConfigRepositoryRead = ZEVO_CONFIG_REPOSITORY_FN_READ;
inline constexpr std::uint32_t kConfigRepositoryWrite = ZEVO_CONFIG_REPOSITORY_FN_WRITE;
inline constexpr std::uint32_t kRcmTableGet = ZEVO_RCM_TABLE_FN_GET;
inline constexpr std::uint32_t kFileCheck = ZEVO_FILE_CHECK_FN_CHECK;

static_assert(kScanManagerPair == 0x0000001500000002ull);
static_assert(kRcmTablePair == ZEVO_MODULE_PAIR(40000, 400001));
static_assert(PairModuleId(kRcmTablePair) == 40000 && PairInterfaceId(kRcmTablePair) == 400001);

}  // namespace zevo
#endif

#endif /* ZEVO_ORGANIZER_H */
