/* Compiled as C11: the C API header must stay plain C. */
#include "zevo/msg.h"

int zevo_msg_c_header_check(void);

int zevo_msg_c_header_check(void) {
  ZEVO_DataHandle h = {{0, 0}};
  const char16_t text[] = {0x41, 0};
  if (ZEVO_Msg_CreateDataHandle(7, &h) != ZEVO_MSG_S_OK) return 0;
  int ok = ZEVO_Msg_PutWString(&h, 1, text, 1) == ZEVO_MSG_S_OK;
  ok = ok && ZEVO_Msg_DestroyDataHandle(&h) == ZEVO_MSG_S_OK;
  return ok && h.words[0] == 0 && h.words[1] == 0;
}
