/* A library with two of the plug-in's ten exports, for the loader's test. */
#include "zevo/platform.h"

#include <stdint.h>

ZEVO_DLL_EXPORT uint32_t Plugin_Interface_GetModuleID(void) { return 4242u; }
ZEVO_DLL_EXPORT uint32_t Plugin_Interface_Uninitialize(void) { return 0x200c0000u; }
