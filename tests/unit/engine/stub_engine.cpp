// A stand-in tarsk64.dll that exports the 66 names and nothing else, built
// whole and without its last entry point. Unlike the reference engine it
// holds no symbol that pins it in memory, so a test can see it unloaded.
#include "zevo/engine_api.h"

#ifdef STUB_OMIT_LAST
// Renames the last entry point, so the library lacks it.
#define TKGetItemIndexByCompanyName TKGetItemIndexByCompanyName_absent
#endif

#define STUB_ENTRY(name) \
  extern "C" ZEVO_DLL_EXPORT int name() { return 0; }
ZEVO_TK_FUNCTIONS(STUB_ENTRY)
