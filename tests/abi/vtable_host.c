/* A host written in plain C11. It includes every C-compatible ABI header, so
 * their static assertions are checked by a C compiler too, and calls
 * interface objects only through the C views, by vtable slot. */
#include "zevo/platform.h"
#include "zevo/data_handle.h"
#include "zevo/identity.h"
#include "zevo/plugin_interface.h"
#include "zevo/organizer.h"
#include "zevo/records.h"
#include "zevo/host_blocks.h"

#include "vtable_host.h"

/* In C the interface names denote the views. */
ZEVO_STATIC_ASSERT(sizeof(ICommonPluginInterface) == sizeof(void*), "C view of the interface");
ZEVO_STATIC_ASSERT(sizeof(IProgressSink) == sizeof(void*), "C view of the sink");
ZEVO_STATIC_ASSERT(sizeof(char16_t) == 2, "UTF-16 code unit");
ZEVO_STATIC_ASSERT(ZEVO_MODULE_PAIR(40000, 400001) == 0x00061a8100009c40ull, "module pair");

void AbiHost_DriveCommon(ICommonPluginInterface_C* object, uint32_t function, void* first, void* second,
                         AbiHostReport* report) {
  report->moduleId = object->vtbl->GetModuleID(object);
  report->interfaceId = object->vtbl->GetInterfaceID(object);
  report->version.major = 0xffffffffu;
  report->version.minor = 0xffffffffu;
  report->version.build = 0xffffffffu;
  object->vtbl->GetModuleVersion(object, &report->version);
  report->callResult = object->vtbl->CallFunc(object, function, first, second);
}

void* AbiHost_DeleteCommon(ICommonPluginInterface_C* object, uint32_t flags) {
  return object->vtbl->DeleteThis(object, flags);
}

int32_t AbiHost_ReportProgress(IProgressSink_C* sink, uint32_t event, int32_t c, int32_t d, void* data,
                               uint64_t cookie) {
  return sink->vtbl->OnProgress(sink, event, c, d, data, cookie);
}

void* AbiHost_DeleteSink(IProgressSink_C* sink, uint32_t flags) { return sink->vtbl->DeleteThis(sink, flags); }
