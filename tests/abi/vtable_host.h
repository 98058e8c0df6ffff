/* A host written in plain C that drives interface objects by vtable slot
 * through the C views of zevo/plugin_interface.h (tests/abi/vtable_host.c).
 * abi_test.cpp hands it C++ objects and checks what each slot received. */
#ifndef ZEVO_TESTS_ABI_VTABLE_HOST_H
#define ZEVO_TESTS_ABI_VTABLE_HOST_H

#include "zevo/identity.h"
#include "zevo/plugin_interface.h"

ZEVO_EXTERN_C_BEGIN

/* What the host saw from one object, slot by slot. */
typedef struct AbiHostReport {
  uint32_t moduleId;    /* slot 1 */
  uint32_t interfaceId; /* slot 2 */
  VersionInfo version;  /* slot 3, preset to 0xffffffff in every field */
  int32_t callResult;   /* slot 4 */
} AbiHostReport;

/* Calls slots 1, 2, 3 and 4 (with function, first, second) in that order. */
void AbiHost_DriveCommon(ICommonPluginInterface_C* object, uint32_t function, void* first, void* second,
                         AbiHostReport* report);

/* Each calls one slot (0 of either interface, 1 of the sink) and returns
 * what it returns. */
void* AbiHost_DeleteCommon(ICommonPluginInterface_C* object, uint32_t flags);

int32_t AbiHost_ReportProgress(IProgressSink_C* sink, uint32_t event, int32_t c, int32_t d, void* data,
                               uint64_t cookie);

void* AbiHost_DeleteSink(IProgressSink_C* sink, uint32_t flags);

ZEVO_EXTERN_C_END

#endif /* ZEVO_TESTS_ABI_VTABLE_HOST_H */
