/* Records passed by pointer between host, plug-in and engine. C11 and C++20.
 *
 * Every record is a plain struct of fixed-width fields whose size and field
 * offsets are pinned by static assertions; padding the compiler would insert
 * is spelled out as zero `reserved`/`alignment` members. Wide texts are
 * UTF-16 (char16_t), narrow texts char. Records that hold pointers are laid
 * out for the 64-bit targets (Windows x64, Linux x86-64) only. */
#ifndef ZEVO_RECORDS_H
#define ZEVO_RECORDS_H

#include "zevo/platform.h"

/* ------------------------------------------------------------------------- */
/* Sizes and text lengths (characters including the terminator)              */
/* ------------------------------------------------------------------------- */

#define ZEVO_ITEM_TEXT_CCH 261u        /* texts 1, 2, 5, 6, company text/name */
#define ZEVO_ITEM_FOLDER_TEXT_CCH 389u /* text 3 (the item's folder) */
#define ZEVO_TKC_ITEM_SIZE 3428u
#define ZEVO_SPYWARE_ITEM_SIZE 3960u

#define ZEVO_CONTEXT_ID_CCH 37u /* narrow context id / block texts */
#define ZEVO_CONTEXT_WIDE_TEXT_CCH 128u
#define ZEVO_CONTEXT_RECORD_SIZE 272u
#define ZEVO_CONTEXT_TAIL_SIZE 528u
#define ZEVO_CONTEXT_BLOCK_OFFSET 40u
#define ZEVO_CONTEXT_BLOCK_SIZE 876u
#define ZEVO_CONTEXT_SIZE 916u

#define ZEVO_WHITELIST_TEXT_CCH 2048u
#define ZEVO_WHITELIST_ITEM_SIZE 4616u
#define ZEVO_WHITELIST_KIND_COMPANY_ID 5u /* text = company id in decimal */

#define ZEVO_RCM_RECORD_SIZE 592u

#define ZEVO_REFERENTIAL_ITEM_SIZE 1566u

/* TKC_ITEM / SPYWARE_ITEM values. */
#define ZEVO_CUSTOM_ITEM_ID_FIRST 0x6e000000 /* custom range, both ends included */
#define ZEVO_CUSTOM_ITEM_ID_LAST 0x6f000000
#define ZEVO_ITEM_FLAG_CLEANED 0x1u          /* result flags bit 0 */
#define ZEVO_ITEM_FLAG_CLEANED_REPORTED 0x2u /* bit 1: cleaned, reported as 0x200c0001 */
#define ZEVO_ITEM_FLAG_NOT_WITH_BACKUP 0x10u /* not cleaned when a backup is asked for */
#define ZEVO_ITEM_KIND_STATE_CLEANED 10u     /* kind whose state 1 counts as cleaned */
#define ZEVO_ITEM_KIND_COOKIE 12u            /* cleaned only with bDoCookieClean */

/* ------------------------------------------------------------------------- */
/* TKC_ITEM: the engine's record of one item, 3428 bytes           */
/* ------------------------------------------------------------------------- */
typedef struct TKC_ITEM {
  uint32_t size;                             /*    0: 3428, set by the caller */
  int32_t itemId;                            /*    4 */
  char16_t text1[ZEVO_ITEM_TEXT_CCH];        /*    8 */
  char16_t text2[ZEVO_ITEM_TEXT_CCH];        /*  530: file name part of the path */
  char16_t text3[ZEVO_ITEM_FOLDER_TEXT_CCH]; /* 1052: folder part of the path */
  char16_t companyText[ZEVO_ITEM_TEXT_CCH];  /* 1830: company of custom items */
  char16_t text5[ZEVO_ITEM_TEXT_CCH];        /* 2352 */
  char16_t text6[ZEVO_ITEM_TEXT_CCH];        /* 2874 */
  uint32_t presence;                         /* 3396: nonzero = present */
  uint32_t kind;                             /* 3400 */
  uint32_t resultFlags;                      /* 3404: ZEVO_ITEM_FLAG_* */
  uint32_t state;                            /* 3408 */
  uint32_t value13;                          /* 3412 */
  int32_t threatTypeId;                      /* 3416 */
  int32_t code;                              /* 3420 */
  uint32_t value16;                          /* 3424 */
} TKC_ITEM;

ZEVO_STATIC_ASSERT(sizeof(TKC_ITEM) == ZEVO_TKC_ITEM_SIZE, "TKC_ITEM size");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, size) == 0, "TKC_ITEM.size");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, itemId) == 4, "TKC_ITEM.itemId");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, text1) == 8, "TKC_ITEM.text1");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, text2) == 530, "TKC_ITEM.text2");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, text3) == 1052, "TKC_ITEM.text3");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, companyText) == 1830, "TKC_ITEM.companyText");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, text5) == 2352, "TKC_ITEM.text5");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, text6) == 2874, "TKC_ITEM.text6");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, presence) == 3396, "TKC_ITEM.presence");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, kind) == 3400, "TKC_ITEM.kind");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, resultFlags) == 3404, "TKC_ITEM.resultFlags");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, state) == 3408, "TKC_ITEM.state");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, value13) == 3412, "TKC_ITEM.value13");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, threatTypeId) == 3416, "TKC_ITEM.threatTypeId");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, code) == 3420, "TKC_ITEM.code");
ZEVO_STATIC_ASSERT(offsetof(TKC_ITEM, value16) == 3424, "TKC_ITEM.value16");

/* ------------------------------------------------------------------------- */
/* SPYWARE_ITEM: the host's record of one item, 3960 bytes         */
/* Every byte not written is zero.                                            */
/* ------------------------------------------------------------------------- */
typedef struct SPYWARE_ITEM {
  uint32_t size;                             /*    0: 3960 */
  int32_t itemId;                            /*    4 */
  char16_t text1[ZEVO_ITEM_TEXT_CCH];        /*    8: at most 260 chars + NUL */
  char16_t text2[ZEVO_ITEM_TEXT_CCH];        /*  530 */
  char16_t text3[ZEVO_ITEM_FOLDER_TEXT_CCH]; /* 1052: at most 388 chars + NUL */
  char16_t companyText[ZEVO_ITEM_TEXT_CCH];  /* 1830 */
  char16_t text5[ZEVO_ITEM_TEXT_CCH];        /* 2352 */
  char16_t text6[ZEVO_ITEM_TEXT_CCH];        /* 2874 */
  uint8_t present;                           /* 3396: bool, 1 when presence != 0 */
  uint8_t reserved0[3];                      /* 3397: zero */
  uint32_t kind;                             /* 3400 */
  uint32_t resultFlags;                      /* 3404 */
  uint32_t state;                            /* 3408 */
  uint32_t value13;                          /* 3412 */
  int32_t threatTypeId;                      /* 3416 */
  int32_t threatLevel;                       /* 3420: 50 when the type is unknown */
  int32_t code;                              /* 3424 */
  uint32_t value16;                          /* 3428 */
  char16_t companyName[ZEVO_ITEM_TEXT_CCH];  /* 3432: empty when none */
  uint8_t reserved1[2];                      /* 3954: zero */
  int32_t resultCode;                        /* 3956: event 1001 only, else 0 */
} SPYWARE_ITEM;

ZEVO_STATIC_ASSERT(sizeof(SPYWARE_ITEM) == ZEVO_SPYWARE_ITEM_SIZE, "SPYWARE_ITEM size");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, size) == 0, "SPYWARE_ITEM.size");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, itemId) == 4, "SPYWARE_ITEM.itemId");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, text1) == 8, "SPYWARE_ITEM.text1");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, text2) == 530, "SPYWARE_ITEM.text2");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, text3) == 1052, "SPYWARE_ITEM.text3");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, companyText) == 1830, "SPYWARE_ITEM.companyText");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, text5) == 2352, "SPYWARE_ITEM.text5");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, text6) == 2874, "SPYWARE_ITEM.text6");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, present) == 3396, "SPYWARE_ITEM.present");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, reserved0) == 3397, "SPYWARE_ITEM.reserved0");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, kind) == 3400, "SPYWARE_ITEM.kind");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, resultFlags) == 3404, "SPYWARE_ITEM.resultFlags");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, state) == 3408, "SPYWARE_ITEM.state");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, value13) == 3412, "SPYWARE_ITEM.value13");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, threatTypeId) == 3416, "SPYWARE_ITEM.threatTypeId");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, threatLevel) == 3420, "SPYWARE_ITEM.threatLevel");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, code) == 3424, "SPYWARE_ITEM.code");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, value16) == 3428, "SPYWARE_ITEM.value16");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, companyName) == 3432, "SPYWARE_ITEM.companyName");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, reserved1) == 3954, "SPYWARE_ITEM.reserved1");
ZEVO_STATIC_ASSERT(offsetof(SPYWARE_ITEM, resultCode) == 3956, "SPYWARE_ITEM.resultCode");

/* ------------------------------------------------------------------------- */
/* ZEVO_Context: the caller's context record, 916 bytes. The       */
/* plug-in copies and forwards it and reads none of its fields.               */
/* ------------------------------------------------------------------------- */
typedef struct ZEVO_ContextRecord {
  char16_t text[ZEVO_CONTEXT_WIDE_TEXT_CCH]; /*   0: wide text with terminator */
  uint32_t number;                           /* 256 */
  uint32_t numbers[3];                       /* 260 */
} ZEVO_ContextRecord;                        /* 272 */

typedef struct ZEVO_ContextBlock {
  char text1[ZEVO_CONTEXT_ID_CCH];      /*   0 */
  char text2[ZEVO_CONTEXT_ID_CCH];      /*  37 */
  uint8_t alignment[2];                 /*  74 */
  ZEVO_ContextRecord record;            /*  76 */
  uint8_t tail[ZEVO_CONTEXT_TAIL_SIZE]; /* 348: copied, never serialised */
} ZEVO_ContextBlock;                    /* 876 */

typedef struct ZEVO_Context {
  char contextId[ZEVO_CONTEXT_ID_CCH]; /*  0: narrow text with terminator */
  uint8_t alignment[3];                /* 37: not copied by function 0 */
  ZEVO_ContextBlock block;             /* 40 */
} ZEVO_Context;                        /* 916 */

ZEVO_STATIC_ASSERT(sizeof(ZEVO_ContextRecord) == ZEVO_CONTEXT_RECORD_SIZE, "ZEVO_ContextRecord size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextRecord, text) == 0, "ZEVO_ContextRecord.text");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextRecord, number) == 256, "ZEVO_ContextRecord.number");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextRecord, numbers) == 260, "ZEVO_ContextRecord.numbers");
ZEVO_STATIC_ASSERT(sizeof(ZEVO_ContextBlock) == ZEVO_CONTEXT_BLOCK_SIZE, "ZEVO_ContextBlock size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextBlock, text1) == 0, "ZEVO_ContextBlock.text1");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextBlock, text2) == 37, "ZEVO_ContextBlock.text2");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextBlock, alignment) == 74, "ZEVO_ContextBlock.alignment");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextBlock, record) == 76, "ZEVO_ContextBlock.record");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ContextBlock, tail) == 348, "ZEVO_ContextBlock.tail");
ZEVO_STATIC_ASSERT(sizeof(ZEVO_Context) == ZEVO_CONTEXT_SIZE, "ZEVO_Context size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_Context, contextId) == 0, "ZEVO_Context.contextId");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_Context, alignment) == 37, "ZEVO_Context.alignment");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_Context, block) == ZEVO_CONTEXT_BLOCK_OFFSET, "ZEVO_Context.block");

/* ------------------------------------------------------------------------- */
/* TKC_WHITELIST_ITEM: record of TKAddWhitelistItem, 4616 bytes;   */
/* the engine's black- and whitelist functions share it (engine_api.h).       */
/* ------------------------------------------------------------------------- */
typedef struct TKC_WHITELIST_ITEM {
  uint32_t size;                          /*    0: 4616 */
  uint32_t kind;                          /*    4: ZEVO_WHITELIST_KIND_COMPANY_ID */
  char16_t text[ZEVO_WHITELIST_TEXT_CCH]; /*    8: the company id in decimal */
  uint8_t reserved[512];                  /* 4104: zero */
} TKC_WHITELIST_ITEM;

ZEVO_STATIC_ASSERT(sizeof(TKC_WHITELIST_ITEM) == ZEVO_WHITELIST_ITEM_SIZE, "TKC_WHITELIST_ITEM size");
ZEVO_STATIC_ASSERT(offsetof(TKC_WHITELIST_ITEM, size) == 0, "TKC_WHITELIST_ITEM.size");
ZEVO_STATIC_ASSERT(offsetof(TKC_WHITELIST_ITEM, kind) == 4, "TKC_WHITELIST_ITEM.kind");
ZEVO_STATIC_ASSERT(offsetof(TKC_WHITELIST_ITEM, text) == 8, "TKC_WHITELIST_ITEM.text");
ZEVO_STATIC_ASSERT(offsetof(TKC_WHITELIST_ITEM, reserved) == 4104, "TKC_WHITELIST_ITEM.reserved");

/* ------------------------------------------------------------------------- */
/* ZEVO_RcmRecord: the host's RCM table, 592 bytes. The plug-in    */
/* reads the three version numbers for a log line and passes the rest on.     */
/* ------------------------------------------------------------------------- */
typedef struct ZEVO_RcmRecord {
  uint32_t major;      /*  0 */
  uint32_t minor;      /*  4 */
  uint32_t build;      /*  8 */
  uint8_t opaque[580]; /* 12: the host's and the engine's */
} ZEVO_RcmRecord;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_RcmRecord) == ZEVO_RCM_RECORD_SIZE, "ZEVO_RcmRecord size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_RcmRecord, major) == 0, "ZEVO_RcmRecord.major");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_RcmRecord, minor) == 4, "ZEVO_RcmRecord.minor");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_RcmRecord, build) == 8, "ZEVO_RcmRecord.build");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_RcmRecord, opaque) == 12, "ZEVO_RcmRecord.opaque");

/* ------------------------------------------------------------------------- */
/* Arguments of ITarskEngineInterface::CallFunc                    */
/* ------------------------------------------------------------------------- */

/* Function 3: a referential scan item, three 261-character texts
 * passed to TKAddReferentialScanItem in this order. 1566 bytes. */
typedef struct ZEVO_ReferentialItem {
  char16_t first[ZEVO_ITEM_TEXT_CCH];  /*    0 */
  char16_t second[ZEVO_ITEM_TEXT_CCH]; /*  522 */
  char16_t third[ZEVO_ITEM_TEXT_CCH];  /* 1044 */
} ZEVO_ReferentialItem;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_ReferentialItem) == ZEVO_REFERENTIAL_ITEM_SIZE, "ZEVO_ReferentialItem size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ReferentialItem, first) == 0, "ZEVO_ReferentialItem.first");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ReferentialItem, second) == 522, "ZEVO_ReferentialItem.second");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ReferentialItem, third) == 1044, "ZEVO_ReferentialItem.third");

/* Functions 2 and 4: the three option bytes (function 6 reads only the first
 * byte of its argument, bBackup). */
typedef struct ZEVO_ScanOptions {
  uint8_t doSpywareClean; /* 0: bDoSpywareClean */
  uint8_t doCookieClean;  /* 1: bDoCookieClean */
  uint8_t backup;         /* 2: bBackup; 0 = use the configured default */
} ZEVO_ScanOptions;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_ScanOptions) == 3, "ZEVO_ScanOptions size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ScanOptions, doSpywareClean) == 0, "ZEVO_ScanOptions.doSpywareClean");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ScanOptions, doCookieClean) == 1, "ZEVO_ScanOptions.doCookieClean");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_ScanOptions, backup) == 2, "ZEVO_ScanOptions.backup");

/* Records with pointers below: 64-bit layouts. */
ZEVO_STATIC_ASSERT(sizeof(void*) == 8, "the ABI records are laid out for 64-bit targets");

/* Function 0: the open block. */
typedef struct ZEVO_OpenBlock {
  const ZEVO_Context* context; /*  0: may be null */
  const char* callerName;      /*  8: NUL-terminated, may be null */
  uint64_t cookie;             /* 16: handed back with every progress report */
} ZEVO_OpenBlock;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_OpenBlock) == 24, "ZEVO_OpenBlock size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_OpenBlock, context) == 0, "ZEVO_OpenBlock.context");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_OpenBlock, callerName) == 8, "ZEVO_OpenBlock.callerName");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_OpenBlock, cookie) == 16, "ZEVO_OpenBlock.cookie");

/* Progress event 1000: the data of a backup-file report. */
typedef struct ZEVO_BackupReport {
  const char16_t* backupFile;  /* 0: full path of the moved *.tkb file */
  const char16_t* companyName; /* 8 */
} ZEVO_BackupReport;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_BackupReport) == 16, "ZEVO_BackupReport size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_BackupReport, backupFile) == 0, "ZEVO_BackupReport.backupFile");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_BackupReport, companyName) == 8, "ZEVO_BackupReport.companyName");

/* ------------------------------------------------------------------------- */
/* The host's file check, function 39107 of (10, 101)              */
/* ------------------------------------------------------------------------- */
typedef struct ZEVO_FileCheckRequest {
  int32_t zero;         /*  0: 0 */
  uint32_t reserved0;   /*  4: zero */
  const char16_t* path; /*  8: full path of the item's file */
  int32_t one;          /* 16: 1 */
  uint32_t reserved1;   /* 20: zero */
} ZEVO_FileCheckRequest;

typedef struct ZEVO_FileCheckReply {
  uint32_t reserved0;    /* 0 */
  uint8_t keepOut;       /* 4: nonzero = keep the item out of the cleaning */
  uint8_t reserved1[11]; /* 5 */
} ZEVO_FileCheckReply;   /* zeroed before the call */

ZEVO_STATIC_ASSERT(sizeof(ZEVO_FileCheckRequest) == 24, "ZEVO_FileCheckRequest size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckRequest, zero) == 0, "ZEVO_FileCheckRequest.zero");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckRequest, reserved0) == 4, "ZEVO_FileCheckRequest.reserved0");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckRequest, path) == 8, "ZEVO_FileCheckRequest.path");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckRequest, one) == 16, "ZEVO_FileCheckRequest.one");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckRequest, reserved1) == 20, "ZEVO_FileCheckRequest.reserved1");
ZEVO_STATIC_ASSERT(sizeof(ZEVO_FileCheckReply) == 16, "ZEVO_FileCheckReply size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckReply, reserved0) == 0, "ZEVO_FileCheckReply.reserved0");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckReply, keepOut) == 4, "ZEVO_FileCheckReply.keepOut");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_FileCheckReply, reserved1) == 5, "ZEVO_FileCheckReply.reserved1");

/* ------------------------------------------------------------------------- */
#ifdef __cplusplus
#include <type_traits>

namespace zevo {

inline constexpr std::size_t kItemTextChars = ZEVO_ITEM_TEXT_CCH;
inline constexpr std::size_t kItemFolderTextChars = ZEVO_ITEM_FOLDER_TEXT_CCH;
inline constexpr std::size_t kTkcItemSize = ZEVO_TKC_ITEM_SIZE;
inline constexpr std::size_t kSpywareItemSize = ZEVO_SPYWARE_ITEM_SIZE;
inline constexpr std::size_t kContextIdChars = ZEVO_CONTEXT_ID_CCH;
inline constexpr std::size_t kContextWideTextChars = ZEVO_CONTEXT_WIDE_TEXT_CCH;
inline constexpr std::size_t kContextBlockOffset = ZEVO_CONTEXT_BLOCK_OFFSET;
inline constexpr std::size_t kContextBlockSize = ZEVO_CONTEXT_BLOCK_SIZE;
inline constexpr std::size_t kContextSize = ZEVO_CONTEXT_SIZE;
inline constexpr std::size_t kWhitelistTextChars = ZEVO_WHITELIST_TEXT_CCH;
inline constexpr std::size_t kWhitelistItemSize = ZEVO_WHITELIST_ITEM_SIZE;
inline constexpr std::uint32_t kWhitelistKindCompanyId = ZEVO_WHITELIST_KIND_COMPANY_ID;
inline constexpr std::size_t kRcmRecordSize = ZEVO_RCM_RECORD_SIZE;
inline constexpr std::size_t kReferentialItemSize = ZEVO_REFERENTIAL_ITEM_SIZE;

inline constexpr std::int32_t kCustomItemIdFirst = ZEVO_CUSTOM_ITEM_ID_FIRST;
inline constexpr std::int32_t kCustomItemIdLast = ZEVO_CUSTOM_ITEM_ID_LAST;
inline constexpr std::uint32_t kItemFlagCleaned = ZEVO_ITEM_FLAG_CLEANED;
inline constexpr std::uint32_t kItemFlagCleanedReported = ZEVO_ITEM_FLAG_CLEANED_REPORTED;
inline constexpr std::uint32_t kItemFlagNotWithBackup = ZEVO_ITEM_FLAG_NOT_WITH_BACKUP;
inline constexpr std::uint32_t kItemKindStateCleaned = ZEVO_ITEM_KIND_STATE_CLEANED;
inline constexpr std::uint32_t kItemKindCookie = ZEVO_ITEM_KIND_COOKIE;

constexpr bool IsCustomItemId(std::int32_t id) noexcept { return id >= kCustomItemIdFirst && id <= kCustomItemIdLast; }

// Records are copied with memcpy and zero-filled with `= {}`.
static_assert(std::is_trivially_copyable_v<TKC_ITEM> && std::is_standard_layout_v<TKC_ITEM>);
static_assert(std::is_trivially_copyable_v<SPYWARE_ITEM> && std::is_standard_layout_v<SPYWARE_ITEM>);
static_assert(std::is_trivially_copyable_v<ZEVO_Context> && std::is_standard_layout_v<ZEVO_Context>);
static_assert(std::is_trivially_copyable_v<TKC_WHITELIST_ITEM> && std::is_standard_layout_v<TKC_WHITELIST_ITEM>);
static_assert(std::is_trivially_copyable_v<ZEVO_RcmRecord> && std::is_standard_layout_v<ZEVO_RcmRecord>);

}  // namespace zevo
#endif /* __cplusplus */

#endif /* ZEVO_RECORDS_H */
