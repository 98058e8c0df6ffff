/* The 16-byte name of one host message (see zevo/msg.h). */
#ifndef ZEVO_DATA_HANDLE_H
#define ZEVO_DATA_HANDLE_H

#include "zevo/platform.h"

/* Zeroed before a create, copied freely, passed to the library by pointer.
 * Its contents are the message library's business. */
typedef struct ZEVO_DataHandle {
  uint64_t words[2];
} ZEVO_DataHandle;

ZEVO_STATIC_ASSERT(sizeof(ZEVO_DataHandle) == 16, "data handle is 16 bytes");
ZEVO_STATIC_ASSERT(offsetof(ZEVO_DataHandle, words) == 0, "data handle layout");

#endif /* ZEVO_DATA_HANDLE_H */
