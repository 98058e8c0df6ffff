/* Host message buffers: typed values stored under 32-bit indexes.
 *
 * A message holds values of six types (signed and unsigned 32-bit integers,
 * UTF-16 strings, byte strings, binary blobs and nested messages). Several
 * values may share one index; they keep their insertion order and are told
 * apart by a 0-based position. A nested message is stored under its own name
 * id, so its name id is also its index in the parent.
 *
 * A ZEVO_DataHandle names one reference to a message. Handles are checked on
 * every call: a zeroed, destroyed or forged handle yields ZEVO_MSG_E_FAIL.
 * Messages are reference counted; the message goes away with its last handle.
 *
 * Thread safety: every function may be called from any thread. Calls on one
 * message are serialised by that message's own lock.
 *
 * Every function returns a result code: ZEVO_MSG_S_OK, or a negative failure.
 * Output arguments are written on success only, unless noted. */
#ifndef ZEVO_MSG_H
#define ZEVO_MSG_H

#include "zevo/data_handle.h"
#include "zevo/platform.h"

#if defined(ZEVO_MSG_BUILD)
#define ZEVO_MSG_API ZEVO_DLL_EXPORT
#else
#define ZEVO_MSG_API ZEVO_DLL_IMPORT
#endif

#define ZEVO_MSG_S_OK ((int32_t)0x20ff0000)
/* Unspecified failure; also a handle that names no live message. */
#define ZEVO_MSG_E_FAIL ((int32_t)0xe0ff0001)
/* ZEVO_Msg_Load: the bytes are not a packed message this library reads. */
#define ZEVO_MSG_E_BAD_FORMAT ((int32_t)0xe0ff0003)
/* ZEVO_Msg_GetStartAddress: not packed since the last change. */
#define ZEVO_MSG_E_NOT_PACKED ((int32_t)0xe0ff0004)
/* The packed form would exceed 4 GiB - 1 bytes, or nesting exceeds
 * ZEVO_MSG_MAX_NESTING levels. */
#define ZEVO_MSG_E_TOO_LARGE ((int32_t)0xe0ff0005)
/* Out of memory, or out of handle slots. */
#define ZEVO_MSG_E_NO_MEMORY ((int32_t)0xe0ff0006)
/* Missing argument, absent value, wrong value type, buffer too small. */
#define ZEVO_MSG_E_INVALID ((int32_t)0xe0ff0007)

/* Levels of nested messages below a top-level message. */
#define ZEVO_MSG_MAX_NESTING 32

ZEVO_EXTERN_C_BEGIN

/* --- Handles ------------------------------------------------------------ */

/* New empty message named nameId (0 for a top-level message). */
ZEVO_MSG_API int32_t ZEVO_Msg_CreateDataHandle(uint32_t nameId, ZEVO_DataHandle* out) ZEVO_NOEXCEPT;
/* Releases this reference and zeroes *h. Other references stay valid. */
ZEVO_MSG_API int32_t ZEVO_Msg_DestroyDataHandle(ZEVO_DataHandle* h) ZEVO_NOEXCEPT;
/* Second reference to the same message: a change through one is seen
 * through the other. Each reference is destroyed on its own. */
ZEVO_MSG_API int32_t ZEVO_Msg_ShareDataHandle(const ZEVO_DataHandle* h, ZEVO_DataHandle* out) ZEVO_NOEXCEPT;
/* Independent deep copy (a top-level message with the same name id and
 * values); the source may then be changed or destroyed. */
ZEVO_MSG_API int32_t ZEVO_Msg_DuplicateDataHandle(const ZEVO_DataHandle* h, ZEVO_DataHandle* out) ZEVO_NOEXCEPT;

/* --- Putting values (each appends at the next position of its index) ---- */

ZEVO_MSG_API int32_t ZEVO_Msg_PutInt32(const ZEVO_DataHandle* h, uint32_t index, int32_t value) ZEVO_NOEXCEPT;
ZEVO_MSG_API int32_t ZEVO_Msg_PutUInt32(const ZEVO_DataHandle* h, uint32_t index, uint32_t value) ZEVO_NOEXCEPT;
/* s may be null when the length is 0. No terminator is stored. */
ZEVO_MSG_API int32_t ZEVO_Msg_PutWString(const ZEVO_DataHandle* h, uint32_t index, const char16_t* s,
                                         uint32_t lengthInChars) ZEVO_NOEXCEPT;
ZEVO_MSG_API int32_t ZEVO_Msg_PutString(const ZEVO_DataHandle* h, uint32_t index, const char* s,
                                        uint32_t lengthInBytes) ZEVO_NOEXCEPT;
ZEVO_MSG_API int32_t ZEVO_Msg_PutBinary(const ZEVO_DataHandle* h, uint32_t index, const void* p,
                                        uint32_t size) ZEVO_NOEXCEPT;
/* Stores a deep copy of the nested message under the nested message's name
 * id; later changes to `nested` do not reach h. A message may be put into
 * itself (the copy is taken first). */
ZEVO_MSG_API int32_t ZEVO_Msg_PutData(const ZEVO_DataHandle* h, const ZEVO_DataHandle* nested) ZEVO_NOEXCEPT;

/* --- Getting values ----------------------------------------------------- */

/* Absent index or position, or another type there: ZEVO_MSG_E_INVALID. */
ZEVO_MSG_API int32_t ZEVO_Msg_GetInt32At(const ZEVO_DataHandle* h, uint32_t index, uint32_t position,
                                         int32_t* out) ZEVO_NOEXCEPT;
ZEVO_MSG_API int32_t ZEVO_Msg_GetUInt32At(const ZEVO_DataHandle* h, uint32_t index, uint32_t position,
                                          uint32_t* out) ZEVO_NOEXCEPT;

/* Length query: buf null and sizeInChars 0 stores the length in characters
 * (without terminator) in *outLen and succeeds.
 * Copy: when length + 1 <= sizeInChars, copies the characters, adds a zero
 * terminator and stores the length in *outLen (outLen may be null).
 * Otherwise fails with ZEVO_MSG_E_INVALID, writes nothing into buf and
 * stores the needed length (without terminator) in *outLen if given. */
ZEVO_MSG_API int32_t ZEVO_Msg_GetWStringAt(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, char16_t* buf,
                                           uint32_t sizeInChars, uint32_t* outLen) ZEVO_NOEXCEPT;
/* As ZEVO_Msg_GetWStringAt, counted in bytes, zero-terminated. */
ZEVO_MSG_API int32_t ZEVO_Msg_GetStringAt(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, char* buf,
                                          uint32_t sizeInBytes, uint32_t* outLen) ZEVO_NOEXCEPT;
/* As ZEVO_Msg_GetStringAt without a terminator: needs length <= size. */
ZEVO_MSG_API int32_t ZEVO_Msg_GetBinaryAt(const ZEVO_DataHandle* h, uint32_t index, uint32_t position, void* buf,
                                          uint32_t size, uint32_t* outLen) ZEVO_NOEXCEPT;

/* Number of values under index, of any type; an index that holds no value
 * is a count of 0 and a success. (Other hosts' libraries may answer such an
 * index with a failure and a count of 0: callers read both as no values.) */
ZEVO_MSG_API int32_t ZEVO_Msg_GetSizeOf(const ZEVO_DataHandle* h, uint32_t index, uint32_t* count) ZEVO_NOEXCEPT;

/* Nested message at a position under nameId, as a new handle in *out.
 * GetDataAt: a reference INTO the parent; changes through it change the
 *   parent's content (the nested message outlives the parent's handles while
 *   referenced). Loading bytes into it must keep its name id.
 * ReadDataAt: an independent deep copy (a top-level message). */
ZEVO_MSG_API int32_t ZEVO_Msg_GetDataAt(const ZEVO_DataHandle* h, uint32_t nameId, uint32_t position,
                                        ZEVO_DataHandle* out) ZEVO_NOEXCEPT;
ZEVO_MSG_API int32_t ZEVO_Msg_ReadDataAt(const ZEVO_DataHandle* h, uint32_t nameId, uint32_t position,
                                         ZEVO_DataHandle* out) ZEVO_NOEXCEPT;

ZEVO_MSG_API int32_t ZEVO_Msg_GetNameID(const ZEVO_DataHandle* h, uint32_t* nameId) ZEVO_NOEXCEPT;

/* --- Packed form -------------------------------------------------------- */

/* Size in bytes of the packed form of the current content. */
ZEVO_MSG_API int32_t ZEVO_Msg_GetDataLen(const ZEVO_DataHandle* h, uint32_t* bytes) ZEVO_NOEXCEPT;
/* First byte of the form made by the last ZEVO_Msg_Pack. Fails with
 * ZEVO_MSG_E_NOT_PACKED when the message (or a message nested in it) changed
 * since. The bytes stay readable until the next Pack, Load, Clear or the
 * release of the message's last reference. */
ZEVO_MSG_API int32_t ZEVO_Msg_GetStartAddress(const ZEVO_DataHandle* h, const void** p) ZEVO_NOEXCEPT;
ZEVO_MSG_API int32_t ZEVO_Msg_Pack(const ZEVO_DataHandle* h) ZEVO_NOEXCEPT;
/* Replaces name id and values with those of a packed message (bytes may be
 * null when len is 0). Malformed bytes: ZEVO_MSG_E_BAD_FORMAT; too deeply
 * nested: ZEVO_MSG_E_TOO_LARGE. On failure the message is left unchanged. */
ZEVO_MSG_API int32_t ZEVO_Msg_Load(const ZEVO_DataHandle* h, const void* bytes, uint32_t len) ZEVO_NOEXCEPT;

/* --- Removing values ---------------------------------------------------- */

/* Removes every value; the name id stays. */
ZEVO_MSG_API int32_t ZEVO_Msg_Clear(const ZEVO_DataHandle* h) ZEVO_NOEXCEPT;
/* Removes every value under index; an index without values is no failure. */
ZEVO_MSG_API int32_t ZEVO_Msg_Erase(const ZEVO_DataHandle* h, uint32_t index) ZEVO_NOEXCEPT;

ZEVO_EXTERN_C_END

#endif /* ZEVO_MSG_H */
