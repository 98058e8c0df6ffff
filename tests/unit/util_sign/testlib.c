/* A library the build makes and nobody signs. */
#include "zevo/platform.h"

ZEVO_EXTERN_C ZEVO_DLL_EXPORT int32_t zevo_sign_testlib_answer(void) { return 42; }
