#include "plugin/command_registration.h"

#include "config/plugin_interface_class.h"
#include "log/logging.h"
#include "zevo/identity.h"
#include "zevo/msg_wrapper.h"
#include "zevo/result.h"

namespace zevo::plugin {
namespace {

constexpr logging::Site kLog{u"Core Scan Manager", u"plugEngineTARSK"};

void PutRegistration(ZEVO_DataHandleWrapper& message) noexcept {
  message.PutInt32(kRegisterFunctionIndex, static_cast<std::int32_t>(kFnQuery));
  message.PutInt32(kRegisterFunctionIndex, static_cast<std::int32_t>(kFnNameIdByTable));
  message.PutInt32(kRegisterModuleIndex, static_cast<std::int32_t>(kModuleId));
  message.PutInt32(kRegisterInterfaceIndex, static_cast<std::int32_t>(kEngineInterfaceId));
}

}  // namespace

std::int32_t RegisterEngineCommands(SPluginInterfaceOrganizer* organizer, bool reg) noexcept {
  config::PluginInterfaceClass scanManager(organizer, ZEVO_SCAN_MANAGER_MODULE, ZEVO_SCAN_MANAGER_INTERFACE);
  if (organizer == nullptr || !scanManager.IsValid()) return kScanManagerUnavailable;

  ZEVO_DataHandleWrapper message;
  PutRegistration(message);
  // The scan manager receives the wrapper object itself, not the raw handle.
  std::int32_t result = scanManager.CallFunc(reg ? kScanManagerRegister : kScanManagerUnregister, &message, nullptr);
  if (Failed(result)) {
    ZLOG(kLog, logging::kLevelSevere, u"Failed to register TARSK engine commands. iRet = ", result);
  }
  if (result == kNoConnection) result = kScanManagerUnavailable;
  return result;
}

}  // namespace zevo::plugin
