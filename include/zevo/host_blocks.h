/* The host's request and reply blocks of the query functions 8282 and 8283
 * and the message indexes of their messages. Constants are
 * C11 and C++20; the accessors are C++.
 *
 * The blocks are host structures of which the plug-in touches only the fields
 * below, addressed by byte offset from the block's start:
 *   request (first pointer of 8282):   968  data handle of the request (16 bytes)
 *   reply (second pointer, 8282/8283):  52  name id of the reply (uint32)
 *                                       56  data handle receiving the reply
 * The function numbers are ZEVO_FN_QUERY (8282) and ZEVO_FN_NAME_ID_BY_TABLE
 * (8283) of zevo/identity.h. */
#ifndef ZEVO_HOST_BLOCKS_H
#define ZEVO_HOST_BLOCKS_H

#include "zevo/platform.h"
#include "zevo/data_handle.h"
#include "zevo/identity.h"

#define ZEVO_REQUEST_DATA_HANDLE_OFFSET 968u
#define ZEVO_REPLY_NAME_ID_OFFSET 52u
#define ZEVO_REPLY_DATA_HANDLE_OFFSET 56u

/* Message indexes (name ids). */
#define ZEVO_INDEX_QUERY_CODE 131972u     /* 0x20384, int32, request of 8282 */
#define ZEVO_INDEX_COMPANY_ID 134076u     /* 0x20bbc, int32 in 8282, uint32 in 8283; repeated */
#define ZEVO_INDEX_COMPANY_NAME 133767u   /* 0x20a87, wide string; repeated */
#define ZEVO_INDEX_REPLY_STATUS 132872u   /* 0x20708, int32, always 0x20ff0000 */
#define ZEVO_REPLY_MESSAGE_NAME_ID 65542u /* 0x10006, name id of every reply */

/* Query codes (index ZEVO_INDEX_QUERY_CODE). */
#define ZEVO_QUERY_NAMES_BY_IDS 11 /* ids under 134076 -> names under 133767 */
#define ZEVO_QUERY_IDS_BY_NAMES 12 /* names under 133767 -> ids under 134076 (-1 unknown) */

/* The smallest blocks that hold these fields, for hosts and tests that build
 * blocks of their own. The plug-in itself uses only the offsets (accessors
 * below), never the sizes: real host blocks are larger. */
typedef struct ZEVO_QueryRequestBlock {
  uint8_t hostFields[ZEVO_REQUEST_DATA_HANDLE_OFFSET]; /*   0: the host's */
  ZEVO_DataHandle data;                                /* 968: request message */
} ZEVO_QueryRequestBlock;

typedef struct ZEVO_QueryReplyBlock {
  uint8_t hostFields[ZEVO_REPLY_NAME_ID_OFFSET]; /*  0: the host's */
  uint32_t nameId;                               /* 52: 65542 after the reply */
  ZEVO_DataHandle data;                          /* 56: receives the reply message */
} ZEVO_QueryReplyBlock;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_QueryRequestBlock) == 984, "ZEVO_QueryRequestBlock size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_QueryRequestBlock, hostFields) == 0, "request hostFields");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_QueryRequestBlock, data) == ZEVO_REQUEST_DATA_HANDLE_OFFSET, "request data");
ZEVO_STATIC_ASSERT(sizeof(ZEVO_QueryReplyBlock) == 72, "ZEVO_QueryReplyBlock size");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_QueryReplyBlock, hostFields) == 0, "reply hostFields");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_QueryReplyBlock, nameId) == ZEVO_REPLY_NAME_ID_OFFSET, "reply nameId");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_QueryReplyBlock, data) == ZEVO_REPLY_DATA_HANDLE_OFFSET, "reply data");

#ifdef __cplusplus
#include <cstring>

namespace zevo {

inline constexpr std::size_t kRequestDataHandleOffset = ZEVO_REQUEST_DATA_HANDLE_OFFSET;
inline constexpr std::size_t kReplyNameIdOffset = ZEVO_REPLY_NAME_ID_OFFSET;
inline constexpr std::size_t kReplyDataHandleOffset = ZEVO_REPLY_DATA_HANDLE_OFFSET;

inline constexpr std::uint32_t kIndexQueryCode = ZEVO_INDEX_QUERY_CODE;
inline constexpr std::uint32_t kIndexCompanyId = ZEVO_INDEX_COMPANY_ID;
inline constexpr std::uint32_t kIndexCompanyName = ZEVO_INDEX_COMPANY_NAME;
inline constexpr std::uint32_t kIndexReplyStatus = ZEVO_INDEX_REPLY_STATUS;
inline constexpr std::uint32_t kReplyMessageNameId = ZEVO_REPLY_MESSAGE_NAME_ID;

inline constexpr std::int32_t kQueryNamesByIds = ZEVO_QUERY_NAMES_BY_IDS;
inline constexpr std::int32_t kQueryIdsByNames = ZEVO_QUERY_IDS_BY_NAMES;

// Address of the field `offset` bytes into a host block. Read and write
// scalar fields through std::memcpy (the host gives no alignment promise
// for them); data handles are passed on by pointer.
inline void* HostBlockField(void* block, std::size_t offset) noexcept {
  return static_cast<unsigned char*>(block) + offset;
}
inline const void* HostBlockField(const void* block, std::size_t offset) noexcept {
  return static_cast<const unsigned char*>(block) + offset;
}

// REQUIRES: `request` is the first pointer of function 8282.
inline ZEVO_DataHandle* RequestDataHandle(void* request) noexcept {
  return static_cast<ZEVO_DataHandle*>(HostBlockField(request, kRequestDataHandleOffset));
}

// REQUIRES: `reply` is the second pointer of function 8282 or 8283.
inline ZEVO_DataHandle* ReplyDataHandle(void* reply) noexcept {
  return static_cast<ZEVO_DataHandle*>(HostBlockField(reply, kReplyDataHandleOffset));
}
inline void* ReplyNameIdField(void* reply) noexcept { return HostBlockField(reply, kReplyNameIdOffset); }
inline void SetReplyNameId(void* reply, std::uint32_t nameId) noexcept {
  std::memcpy(ReplyNameIdField(reply), &nameId, sizeof nameId);
}
inline std::uint32_t GetReplyNameId(const void* reply) noexcept {
  std::uint32_t nameId = 0;
  std::memcpy(&nameId, HostBlockField(reply, kReplyNameIdOffset), sizeof nameId);
  return nameId;
}

}  // namespace zevo
#endif /* __cplusplus */

#endif /* ZEVO_HOST_BLOCKS_H */
