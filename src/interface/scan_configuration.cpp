// ITarskEngineInterface: reading the scan settings of one job from the
// configuration repository, and the exclusion list the engine whitelists.
#include <string>
#include <string_view>

#include "config/config_helper.h"
#include "interface/tarsk_interface.h"
#include "log/logging.h"
#include "os/path.h"
#include "util/env_expand.h"
#include "zevo/result.h"

namespace zevo::iface {
namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_interface"};

constexpr bool kDefaultBackupSwitch = true;
constexpr std::int32_t kDefaultScannerSetting = 4;

// "%zevo_install_path%backup" and the platform's separator.
std::u16string DefaultBackupFolder() {
  std::u16string folder = u"%zevo_install_path%backup";
  folder += os::kPathSeparator;
  return folder;
}

// Calls `add` with every non-empty piece of `list` between ';' separators,
// in order.
template <class Add>
void ForEachListItem(std::u16string_view list, Add&& add) {
  while (!list.empty()) {
    const std::size_t end = list.find(u';');
    const std::u16string_view piece = list.substr(0, end);
    if (!piece.empty()) add(piece);
    if (end == std::u16string_view::npos) break;
    list.remove_prefix(end + 1);
  }
}

// What one batch brings back: each read's status (kFail until the reply is
// applied) and value.
struct ConfigReads {
  std::int32_t backupSwitchStatus = kFail;
  std::int32_t backupEnabledStatus = kFail;
  std::int32_t folderStatus = kFail;
  std::int32_t exclusionStatus = kFail;
  std::int32_t scannerStatus = kFail;
  bool backupSwitch = false;
  bool backupEnabled = false;
  std::u16string folder;
  std::u16string exclusions;
  std::int32_t scannerSetting = 0;
};

void RunBatch(SPluginInterfaceOrganizer* organizer, const ZEVO_Context& context, ConfigReads& reads) {
  config::ZEVO_ConfigHelper helper(organizer, context, /*read=*/true);
  if (!helper.Valid()) {
    ZLOG(kLog, logging::kLevelFailure, u"Failed: initialize ZEVO_ConfigHelper");
    return;
  }
  helper.AddRead(kKeyBackupSwitch, &reads.backupSwitchStatus, &reads.backupSwitch);
  helper.AddRead(kKeyBackupEnabled, &reads.backupEnabledStatus, &reads.backupEnabled);
  helper.AddRead(kKeyBackupFolder, &reads.folderStatus, &reads.folder);
  helper.AddRead(kKeyExclusionList, &reads.exclusionStatus, &reads.exclusions);
  helper.AddRead(kKeyScannerSetting, &reads.scannerStatus, &reads.scannerSetting);
  helper.Execute();
}

}  // namespace

std::int32_t ITarskEngineInterface::GetConfiguration(const ZEVO_Context& context) noexcept {
  try {
    ConfigReads reads;
    reads.folder = backup_folder_;
    reads.scannerSetting = scanner_setting_;
    RunBatch(organizer_, context, reads);

    const bool backupSwitch = Succeeded(reads.backupSwitchStatus) ? reads.backupSwitch : kDefaultBackupSwitch;
    const bool backupEnabled = Succeeded(reads.backupEnabledStatus) ? reads.backupEnabled : kDefaultBackupSwitch;
    backup_default_ = backupSwitch && backupEnabled;

    backup_folder_ = Succeeded(reads.folderStatus) ? reads.folder : DefaultBackupFolder();
    std::u16string expanded;
    if (util::ExpandEnvironmentVar(backup_folder_, expanded, /*replaceDoublePercent=*/true)) {
      backup_folder_ = std::move(expanded);
    }

    scanner_setting_ = Succeeded(reads.scannerStatus) ? reads.scannerSetting : kDefaultScannerSetting;

    scan_settings_[kKeyBackupEnabled] = &backup_default_;
    scan_settings_[kKeyBackupFolder] = &backup_folder_;
    scan_settings_[kKeyScannerSetting] = &scanner_setting_;

    if (Succeeded(reads.exclusionStatus)) ApplyExclusionList(reads.exclusions);
  } catch (...) {
    // Out of memory: the settings that were applied stay, the rest keep
    // their earlier values; the job goes on as it would with a missing key.
  }
  return kCommonOk;
}

void ITarskEngineInterface::ApplyExclusionList(std::u16string_view list) noexcept {
  ForEachListItem(list, [this](std::u16string_view item) { driver_.AddWhitelistItem(session_, item); });
}

void ITarskEngineInterface::SetExclusiveSpyware(const std::u16string& list) noexcept { ApplyExclusionList(list); }

}  // namespace zevo::iface
