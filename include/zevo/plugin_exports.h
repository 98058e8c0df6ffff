/* The ten exports of the plug-in module, as the host binds them by name.
 * C11 and C++20.
 *
 * The module is plugEngineTARSK.dll on Windows and plugEngineTARSK.so on
 * POSIX. Every export uses the platform's default calling convention, has an
 * undecorated name and never throws. */
#ifndef ZEVO_PLUGIN_EXPORTS_H
#define ZEVO_PLUGIN_EXPORTS_H

#include "zevo/platform.h"
#include "zevo/identity.h"
#include "zevo/organizer.h"
#include "zevo/plugin_interface.h"

#ifdef __cplusplus
class ZEVO_DataHandleWrapper;
#else
typedef struct ZEVO_DataHandleWrapper ZEVO_DataHandleWrapper;
#endif

typedef uint32_t (*PFN_Plugin_Interface_Initialize)(SPluginInterfaceOrganizer* organizer);
typedef uint32_t (*PFN_Plugin_Interface_PostInitialize)(void);
typedef uint32_t (*PFN_Plugin_Interface_PreUninitialize)(void);
typedef uint32_t (*PFN_Plugin_Interface_Uninitialize)(void);
typedef uint32_t (*PFN_Plugin_Interface_GetModuleID)(void);
typedef void (*PFN_Plugin_Interface_GetModuleVersion)(VersionInfo* version);
typedef ICommonPluginInterface* (*PFN_Plugin_Interface_QueryInterface)(uint32_t interfaceId);
typedef void (*PFN_Plugin_Interface_Release)(ICommonPluginInterface* object);
typedef int32_t (*PFN_Plugin_Interface_CallFunc)(ICommonPluginInterface* object, uint32_t function, void* first,
                                                 void* second);
/* input: a message wrapper or null; output: a message wrapper. */
typedef int32_t (*PFN_Plugin_Interface_OnNotify)(uint32_t notification, ZEVO_DataHandleWrapper* input,
                                                 ZEVO_DataHandleWrapper* output);

/* The names, in the order above. */
#define ZEVO_PLUGIN_EXPORTS(X)         \
  X(Plugin_Interface_Initialize)       \
  X(Plugin_Interface_PostInitialize)   \
  X(Plugin_Interface_PreUninitialize)  \
  X(Plugin_Interface_Uninitialize)     \
  X(Plugin_Interface_GetModuleID)      \
  X(Plugin_Interface_GetModuleVersion) \
  X(Plugin_Interface_QueryInterface)   \
  X(Plugin_Interface_Release)          \
  X(Plugin_Interface_CallFunc)         \
  X(Plugin_Interface_OnNotify)

#ifdef __cplusplus
namespace zevo {
/* File name of the module in a build's bin folder. */
#ifdef _WIN32
inline constexpr const char16_t* kPluginFileName = u"plugEngineTARSK.dll";
#else
inline constexpr const char16_t* kPluginFileName = u"plugEngineTARSK.so";
#endif
/* One typed pointer per export (the host's binding). */
struct PluginExportTable {
#define ZEVO_PLUGIN_EXPORT_MEMBER(name) PFN_##name name = nullptr;
  ZEVO_PLUGIN_EXPORTS(ZEVO_PLUGIN_EXPORT_MEMBER)
#undef ZEVO_PLUGIN_EXPORT_MEMBER
};
}  // namespace zevo
#endif

#endif /* ZEVO_PLUGIN_EXPORTS_H */
