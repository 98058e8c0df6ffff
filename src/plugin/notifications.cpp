#include "plugin/notifications.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/logging.h"
#include "os/path.h"
#include "plugin/exports.h"
#include "plugin/notify_messages.h"
#include "plugin/plugin_state.h"
#include "zevo/engine_api.h"
#include "zevo/result.h"

namespace zevo::plugin {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"plugEngineTARSK"};

void StopAllScans() noexcept {
  // Held so that the driver cannot be destroyed while its scans are stopped.
  os::RecursiveLockGuard guard(g_lock);
  if (g_pEngine) g_pEngine->StopAllScans();
}

// The two version texts through an engine interface object of our own, as
// any host would obtain one. The start's result, or kNoEngineInterface.
struct Versions {
  std::int32_t start = kNoEngineInterface;
  std::int32_t pattern = kFail;
  std::int32_t engine = kFail;
  char16_t patternText[kPropertyCapacity + 1] = {};
  char16_t engineText[kPropertyCapacity + 1] = {};
};

Versions QueryVersions() noexcept {
  Versions v;
  ICommonPluginInterface* object = Plugin_Interface_QueryInterface(kEngineInterfaceId);
  if (object == nullptr) return v;
  v.start = Plugin_Interface_CallFunc(object, kFnOpenSession, nullptr, nullptr);
  if (Succeeded(v.start)) {
    v.pattern = Plugin_Interface_CallFunc(object, kFnGetPatternVersion, v.patternText, nullptr);
    v.engine = Plugin_Interface_CallFunc(object, kFnGetEngineVersion, v.engineText, nullptr);
    Plugin_Interface_CallFunc(object, kFnCloseSession, nullptr, nullptr);
  }
  Plugin_Interface_Release(object);
  return v;
}

// The engine folder (with its trailing separator) as the driver takes it
// from entry 9 of the services table; empty when there is none.
std::u16string EngineFolder() {
  SPluginInterfaceOrganizer* const organizer = g_pOrganizer.load();
  if (organizer == nullptr || organizer->GetModulePath == nullptr) return {};
  const char16_t* const path = organizer->GetModulePath(organizer);
  if (path == nullptr) return {};
  const std::u16string_view modulePath(path);
  const std::size_t separator = modulePath.rfind(os::kPathSeparator);
  if (separator == std::u16string_view::npos) return {};
  return std::u16string(modulePath.substr(0, separator + 1));
}

// The folder's own name: what lies between its last two separators.
std::u16string_view FolderName(std::u16string_view folder) {
  if (folder.empty()) return {};
  folder.remove_suffix(1);
  return folder.substr(folder.rfind(os::kPathSeparator) + 1);
}

std::int32_t ReportVersions(ZEVO_DataHandleWrapper* output) noexcept {
  if (output == nullptr) return kUnsupported;
  const Versions v = QueryVersions();
  try {
    std::vector<COMPONENT_INFO> records;
    if (Succeeded(v.engine)) {
      const std::u16string folder = EngineFolder();
      const std::u16string version(v.engineText);
      if (FolderName(folder) != version) {
        ZLOG(kLog, logging::kLevelInfo, u"The version of engine DLL file \"", folder, u"tarsk64.dll\" is ", version);
      }
      records.push_back(EngineComponent(version, folder));
      records.push_back(EngineComponent(version, u"tarsk64.dll"));
    }
    if (Succeeded(v.pattern)) records.push_back(PatternComponent(v.patternText));
    const std::int32_t written = WriteComponentVersions(*output, records);
    return Failed(written) && Succeeded(v.start) ? written : v.start;
  } catch (...) {
    return kFail;
  }
}

std::int32_t Update(ZEVO_DataHandleWrapper* input) noexcept {
  if (input == nullptr) return kFail;
  COMPONENT_INFO info;
  const bool read = ReadUpdateRequest(*input, info);
  if (read && info.kind == kKindEngineLibrary) {
    return info.componentId == kEngineLibraryComponentId ? kOk : kFail;
  }
  if (read && info.kind == kKindPatternFile) {
    return info.componentId == kPatternFileComponentId ? CheckPattern() : kFail;
  }
  ZLOG(kLog, logging::kLevelFailure, u"Update not supported.");
  return kFail;
}

std::int32_t Dispatch(std::uint32_t notification, ZEVO_DataHandleWrapper* input,
                      ZEVO_DataHandleWrapper* output) noexcept {
  switch (notification) {
    case kNotifyStopFirst:
    case kNotifyStopSecond:
    case kNotifyStopThird:
      StopAllScans();
      return kNotifyScansStopped;
    case kNotifyNothing:
      return kOk;
    case kNotifyIgnore:
      return kNotifyIgnored;
    case kNotifyComponentList:
      if (output == nullptr) return kUnsupported;
      try {
        const std::int32_t written = WriteComponentList(*output, UpdatableComponents());
        return Failed(written) ? written : kOk;
      } catch (...) {
        return kFail;
      }
    case kNotifyModuleRecord: {
      if (output == nullptr) return kUnsupported;
      const std::int32_t written = WriteModuleRecord(*output);
      return Failed(written) ? written : kOk;
    }
    case kNotifyUpdate:
      return Update(input);
    case kNotifyVersions:
      return ReportVersions(output);
    default:
      return kNotHandled;
  }
}

}  // namespace

std::int32_t CheckPattern() noexcept {
  os::RecursiveLockGuard guard(g_lock);
  std::unique_ptr<driver::CEngineTARSK> check;
  try {
    check = std::make_unique<driver::CEngineTARSK>(g_pOrganizer.load(), driver::CEngineTARSK::Role::kPatternCheck);
  } catch (...) {
    return kEngineLoadFailed;
  }
  std::int32_t status = check->Initialize();
  if (Succeeded(status)) {
    // The handle's address is the temporary driver's: it is never published.
    const std::int32_t* mainSession = nullptr;
    status = check->InitMainSession(&mainSession);
  }
  check.reset();
  return status;
}

std::int32_t OnNotify(std::uint32_t notification, ZEVO_DataHandleWrapper* input,
                      ZEVO_DataHandleWrapper* output) noexcept {
  ZLOG_ENTER(kLog, u"Plugin_Interface_OnNotify", u"uiNotifyID=", notification);
  const std::int32_t status = Dispatch(notification, input, output);
  ZLOG_EXIT(kLog, u"Plugin_Interface_OnNotify", u"asStatus: ", status);
  return status;
}

}  // namespace zevo::plugin
