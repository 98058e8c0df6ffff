// CEngineTARSK: construction, start-up (engine folder, library, settings,
// global options, RCM table, main session) and teardown.
#include "driver/engine_tarsk.h"

#include <new>
#include <string>

#include "config/config_helper.h"
#include "config/config_layout.h"
#include "log/logging.h"
#include "os/path.h"
#include "util/env_expand.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// Configuration keys of the driver's own settings.
constexpr std::uint32_t kKeyEngineMode = 0xc70000;
constexpr std::uint32_t kKeyDebugFolder = 0xc20001;
constexpr std::uint32_t kKeyTempFolder = 0xc20002;

std::u16string DefaultFolder(std::u16string_view name) {
  std::u16string folder(u"%zevo_install_path%");
  folder.append(name);
  folder.push_back(os::kPathSeparator);
  return folder;
}

// The folder expanded, or left as it is when the expansion fails.
void ExpandFolder(std::u16string& folder) noexcept {
  std::u16string expanded;
  if (util::ExpandEnvironmentVar(folder, expanded, /*replaceDoublePercent=*/true)) {
    folder.swap(expanded);
  }
}

std::u16string DecimalText(std::int32_t value) {
  const std::string narrow = std::to_string(value);
  return std::u16string(narrow.begin(), narrow.end());
}

}  // namespace

CEngineTARSK::CEngineTARSK(SPluginInterfaceOrganizer* organizer, Role role) : organizer_(organizer), role_(role) {}

CEngineTARSK::CEngineTARSK(SPluginInterfaceOrganizer* organizer, const TkFunctionTable& inProcessEngine)
    : library_(inProcessEngine), organizer_(organizer) {}

CEngineTARSK::~CEngineTARSK() {
  if (!library_.IsReady()) return;
  bool mainSessionOpen = false;
  {
    os::ReaderGuard guard(g_sessionLock);
    mainSessionOpen = session_names_.count(main_session_) != 0;
  }
  // Only a main session that was opened is closed: closing handle 0 of a
  // driver whose start-up stopped early would only log a false failure.
  if (mainSessionOpen) CloseSession(main_session_);
  if (role_ == Role::kServing) Engine().TKSetRCMTable(0, nullptr, 0);
  rcm_.reset();
  library_.Uninitialize();
}

std::int32_t CEngineTARSK::Initialize() noexcept {
  if (library_.IsReady()) return kCommonOk;
  const char16_t* path = nullptr;
  if (organizer_ != nullptr && organizer_->GetModulePath != nullptr) {
    path = organizer_->GetModulePath(organizer_);
  }
  if (path == nullptr) return kEngineLoadFailed;
  const std::u16string_view modulePath(path);
  const std::size_t separator = modulePath.rfind(os::kPathSeparator);
  if (separator == std::u16string_view::npos) return kEngineLoadFailed;
  try {
    const std::u16string engineFolder(modulePath.substr(0, separator + 1));
    if (!library_.Initialize(engineFolder)) return kEngineLoadFailed;
    LoadSettings();
    std::int32_t result = SetGlobalOption(kOptionDebugFolder, debug_folder_);
    if (Succeeded(result)) result = SetGlobalOption(kOptionEngineMode, DecimalText(engine_mode_));
    if (Succeeded(result)) result = SetGlobalOption(kOptionEngineFolder, engineFolder);
    if (Succeeded(result)) result = SetGlobalOption(kOptionGlobalSwitch, u"TRUE");
    return result;
  } catch (const std::bad_alloc&) {
    return kFail;
  }
}

void CEngineTARSK::LoadSettings() noexcept {
  std::int32_t modeStatus = kFail;
  std::int32_t debugStatus = kFail;
  std::int32_t tempStatus = kFail;
  std::int32_t mode = engine_mode_;
  std::u16string debugFolder;
  std::u16string tempFolder;
  {
    config::ZEVO_ConfigHelper helper(organizer_);
    // A read that cannot be added keeps its failed status: its default applies.
    helper.AddRead(kKeyEngineMode, config::kTagInt32, &modeStatus, &mode);
    helper.AddRead(kKeyDebugFolder, config::kTagWString, &debugStatus, &debugFolder);
    helper.AddRead(kKeyTempFolder, config::kTagWString, &tempStatus, &tempFolder);
    helper.Execute();
  }
  if (Succeeded(modeStatus)) {
    engine_mode_ = (mode == kEngineModeDefault || mode == kEngineModeAlternate) ? mode : kEngineModeDefault;
  }
  try {
    debug_folder_ = Succeeded(debugStatus) ? std::move(debugFolder) : DefaultFolder(u"debug");
    temp_folder_ = Succeeded(tempStatus) ? std::move(tempFolder) : DefaultFolder(u"temp");
  } catch (const std::bad_alloc&) {
    // The folders keep what they held; the engine gets that.
  }
  ExpandFolder(debug_folder_);
  ExpandFolder(temp_folder_);
}

std::int32_t CEngineTARSK::SetGlobalOption(std::int32_t option, const std::u16string& value) noexcept {
  const std::int32_t r = Engine().TKSetOption(0, option, value.c_str());
  if (r == 0) return kOk;
  ZLOG(kLog, logging::kLevelFailure, u"Failed: TKSetOption: id=", option, u", ret=", r);
  LogEngineError(0);
  return MapEngineStatus(r);
}

std::int32_t CEngineTARSK::InitMainSession(const std::int32_t** mainSessionHandle) noexcept {
  rcm_.reset();
  rcm_.reset(new (std::nothrow)
                 config::PluginInterfaceClass(organizer_, ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE));
  // The engine is reached only when it is ready; OpenSession then reports it.
  if (role_ == Role::kServing && rcm_ != nullptr && rcm_->IsValid() && library_.IsReady()) {
    ZEVO_RcmRecord record{};
    if (Succeeded(rcm_->CallFunc(kRcmTableGet, nullptr, &record))) {
      const std::int32_t r = Engine().TKSetRCMTable(0, &record, sizeof record);
      if (r != 0) {
        ZLOG(kLog, logging::kLevelFailure, u"Failed: TKSetRCMTable: major(", record.major, u"), minor(", record.minor,
             u"), build(", record.build, u"), ", r);
        LogEngineError(0);
      }
    }
  }
  if (mainSessionHandle != nullptr) *mainSessionHandle = &main_session_;
  const std::int32_t opened = OpenSession(&main_session_, nullptr, {});
  if (Failed(opened)) return opened;
  return LoadPattern(main_session_, /*shared=*/false);
}

}  // namespace zevo::driver
