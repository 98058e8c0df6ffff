/* Loaded at run time by the dynamic library tests. */
#include "zevo/platform.h"

ZEVO_EXTERN_C ZEVO_DLL_EXPORT int32_t zevo_os_testlib_answer(void) { return 42; }

ZEVO_EXTERN_C ZEVO_DLL_EXPORT int32_t zevo_os_testlib_add(int32_t a, int32_t b) { return a + b; }
