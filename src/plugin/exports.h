// Declarations of the module's ten exports, for the module itself and for
// tests that call them in-process. The host binds them by name
// (zevo/plugin_exports.h gives their pointer types).
#ifndef ZEVO_SRC_PLUGIN_EXPORTS_H_
#define ZEVO_SRC_PLUGIN_EXPORTS_H_

#include "zevo/plugin_exports.h"

ZEVO_EXTERN_C_BEGIN

ZEVO_DLL_EXPORT uint32_t Plugin_Interface_Initialize(SPluginInterfaceOrganizer* organizer) noexcept;
ZEVO_DLL_EXPORT uint32_t Plugin_Interface_PostInitialize() noexcept;
ZEVO_DLL_EXPORT uint32_t Plugin_Interface_PreUninitialize() noexcept;
ZEVO_DLL_EXPORT uint32_t Plugin_Interface_Uninitialize() noexcept;
ZEVO_DLL_EXPORT uint32_t Plugin_Interface_GetModuleID() noexcept;
ZEVO_DLL_EXPORT void Plugin_Interface_GetModuleVersion(VersionInfo* version) noexcept;
ZEVO_DLL_EXPORT ICommonPluginInterface* Plugin_Interface_QueryInterface(uint32_t interfaceId) noexcept;
ZEVO_DLL_EXPORT void Plugin_Interface_Release(ICommonPluginInterface* object) noexcept;
ZEVO_DLL_EXPORT int32_t Plugin_Interface_CallFunc(ICommonPluginInterface* object, uint32_t function, void* first,
                                                  void* second) noexcept;
ZEVO_DLL_EXPORT int32_t Plugin_Interface_OnNotify(uint32_t notification, ZEVO_DataHandleWrapper* input,
                                                  ZEVO_DataHandleWrapper* output) noexcept;

ZEVO_EXTERN_C_END

#endif  // ZEVO_SRC_PLUGIN_EXPORTS_H_
