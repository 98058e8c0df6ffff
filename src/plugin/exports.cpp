// The ten exports through which the host drives the plug-in. Each is
// noexcept and answers result codes; nothing here throws (the driver, the
// objects and the registration are noexcept themselves, and the one
// allocation that can fail is made without throwing).
#include <new>
#include <type_traits>

#include "interface/status_interface.h"
#include "interface/tarsk_interface.h"
#include "plugin/command_registration.h"
#include "plugin/notifications.h"
#include "plugin/plugin_state.h"
#include "plugin/exports.h"
#include "zevo/result.h"

using zevo::os::RecursiveLockGuard;
using namespace zevo::plugin;  // NOLINT: the exports live at global scope

namespace {

// Each export has exactly the type the host binds it with, noexcept aside.
template <class R, class... Args>
R (*WithoutNoexcept(R (*)(Args...) noexcept))
(Args...);
#define ZEVO_CHECK_EXPORT_TYPE(name) static_assert(std::is_same_v<decltype(WithoutNoexcept(&name)), PFN_##name>);
ZEVO_PLUGIN_EXPORTS(ZEVO_CHECK_EXPORT_TYPE)
#undef ZEVO_CHECK_EXPORT_TYPE

// Counts one object out (when `released`), and destroys the driver once no
// object is left.
void CountOut(bool released) noexcept {
  RecursiveLockGuard guard(g_lock);
  // A count already at 0 is not wrapped: a host releasing more objects than
  // it obtained must not keep the driver alive for ever.
  if (released && g_nInterfaceCount > 0) --g_nInterfaceCount;
  if (g_pEngine && g_nInterfaceCount == 0) DestroyEngineDriver();
}

// An engine interface object is counted out when it is destroyed, not when
// the host releases it: a call or report still running into it keeps it,
// and with it the driver it uses.
void EngineObjectDestroyed() noexcept { CountOut(/*released=*/true); }

// Hands out an object for `interfaceId`; on any refusal the count taken for
// it is given back. REQUIRES: g_lock not held (the object is made outside).
ICommonPluginInterface* MakeInterface(std::uint32_t interfaceId, zevo::driver::CEngineTARSK* engine, bool engineReady,
                                      SPluginInterfaceOrganizer* organizer) noexcept {
  ICommonPluginInterface* object = nullptr;
  if (interfaceId == zevo::kEngineInterfaceId && engine != nullptr) {
    object = new (std::nothrow) zevo::iface::ITarskEngineInterface(*engine, organizer, &EngineObjectDestroyed);
  } else if (interfaceId == zevo::kEngineStatusInterfaceId && engineReady) {
    object = new (std::nothrow) zevo::iface::ITarskEngineStatusInterface();
  }
  if (object == nullptr) {
    RecursiveLockGuard guard(g_lock);
    --g_nInterfaceCount;
  }
  return object;
}

}  // namespace

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::uint32_t Plugin_Interface_Initialize(SPluginInterfaceOrganizer* organizer) noexcept {
  g_pOrganizer.store(organizer);
  return static_cast<std::uint32_t>(zevo::kOk);
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::uint32_t Plugin_Interface_PostInitialize() noexcept {
  std::int32_t status = zevo::kOk;
  {
    RecursiveLockGuard guard(g_lock);
    status = g_pEngine ? zevo::kDriverExists : EnsureEngineDriver();
    if (zevo::Succeeded(status)) status = FillEngineTables();
    // At start-up no object is out: the driver made for the enumerations
    // goes again, the tables stay.
    if (g_nInterfaceCount == 0 && g_pEngine) DestroyEngineDriver();
    if (zevo::Succeeded(status)) g_bStarted = true;
  }
  if (zevo::Failed(status)) return static_cast<std::uint32_t>(status);
  return static_cast<std::uint32_t>(RegisterEngineCommands(g_pOrganizer.load(), /*reg=*/true));
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::uint32_t Plugin_Interface_PreUninitialize() noexcept {
  {
    RecursiveLockGuard guard(g_lock);
    g_bStarted = false;
  }
  return static_cast<std::uint32_t>(RegisterEngineCommands(g_pOrganizer.load(), /*reg=*/false));
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::uint32_t Plugin_Interface_Uninitialize() noexcept {
  RecursiveLockGuard guard(g_lock);
  return static_cast<std::uint32_t>(zevo::kOk);
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::uint32_t Plugin_Interface_GetModuleID() noexcept { return zevo::kModuleId; }

ZEVO_EXTERN_C ZEVO_DLL_EXPORT void Plugin_Interface_GetModuleVersion(VersionInfo* version) noexcept {
  zevo::iface::WriteModuleVersion(version);
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT ICommonPluginInterface* Plugin_Interface_QueryInterface(
    std::uint32_t interfaceId) noexcept {
  SPluginInterfaceOrganizer* const organizer = g_pOrganizer.load();
  if (organizer == nullptr) return nullptr;
  zevo::driver::CEngineTARSK* engine = nullptr;
  bool engineReady = false;
  {
    RecursiveLockGuard guard(g_lock);
    if (!g_bStarted) return nullptr;
    // Counted before the lock is left, so that no release in between
    // destroys the driver the new object is about to use.
    ++g_nInterfaceCount;
    if (interfaceId == zevo::kEngineInterfaceId && zevo::Succeeded(EnsureEngineDriver()) && g_pEngine) {
      AttachTables(*g_pEngine);
      engine = g_pEngine.get();
    }
    engineReady = g_bEngineReady;
  }
  return MakeInterface(interfaceId, engine, engineReady, organizer);
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT void Plugin_Interface_Release(ICommonPluginInterface* object) noexcept {
  bool released = false;
  if (object != nullptr && object->GetModuleID() == zevo::kModuleId) {
    const std::uint32_t interfaceId = object->GetInterfaceID();
    if (interfaceId == zevo::kEngineInterfaceId) {
      object->DeleteThis(ZEVO_DELETE_FREE);  // counted out by EngineObjectDestroyed
      return;
    }
    if (interfaceId == zevo::kEngineStatusInterfaceId) {
      object->DeleteThis(ZEVO_DELETE_FREE);
      released = true;
    }
  }
  CountOut(released);
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::int32_t Plugin_Interface_CallFunc(ICommonPluginInterface* object,
                                                                     std::uint32_t function, void* first,
                                                                     void* second) noexcept {
  if (object == nullptr) return zevo::kFail;
  return object->CallFunc(function, first, second);
}

ZEVO_EXTERN_C ZEVO_DLL_EXPORT std::int32_t Plugin_Interface_OnNotify(std::uint32_t notification,
                                                                     ZEVO_DataHandleWrapper* input,
                                                                     ZEVO_DataHandleWrapper* output) noexcept {
  return OnNotify(notification, input, output);
}
