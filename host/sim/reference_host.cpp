#include "sim/reference_host.h"

#include <string>
#include <variant>
#include <vector>

#include "sim/config_store.h"

#include "sim/engine_folder.h"
#include "sim/protected_paths.h"
#include "zevo/organizer.h"

namespace zevo::hostsim {
namespace {

// The key under which the store names the folder of the backup files.
constexpr std::uint32_t kBackupFolderKey = 0x10c20001u;

// The store's backup folder, when it names one the host can read as a path
// (a text with placeholders is the module's to expand).
std::u16string StoredBackupFolder(const std::filesystem::path& storeFile) {
  ConfigStore store;
  std::string ignored;
  if (!store.Load(storeFile, ignored)) return {};
  const StoredValue* value = store.Find(kBackupFolderKey);
  const auto* text = value != nullptr ? std::get_if<std::u16string>(&value->datum) : nullptr;
  if (text == nullptr || text->find(u'%') != std::u16string::npos) return {};
  return *text;
}

}  // namespace

ReferenceHost::ReferenceHost(const std::filesystem::path& engineFolder)
    : scan_manager_(std::make_shared<ScanManager>()),
      rcm_table_(std::make_shared<RcmTable>(kRcmMajor, kRcmMinor, kRcmBuild)),
      file_check_(std::make_shared<FileCheck>()) {
  services_.Register(ZEVO_SCAN_MANAGER_MODULE, ZEVO_SCAN_MANAGER_INTERFACE, scan_manager_);
  services_.Register(ZEVO_RCM_TABLE_MODULE, ZEVO_RCM_TABLE_INTERFACE, rcm_table_);
  services_.Register(ZEVO_FILE_CHECK_MODULE, ZEVO_FILE_CHECK_INTERFACE, file_check_);
  if (!engineFolder.empty()) SetEngineFolder(services_, engineFolder);
}

std::shared_ptr<ConfigRepository> ReferenceHost::UseConfigStore(const std::filesystem::path& storeFile) {
  auto repository = std::make_shared<ConfigRepository>(storeFile);
  services_.Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, repository);
  std::vector<std::u16string> prefixes;
  protected_paths_error_.clear();
  if (LoadProtectedPaths(storeFile, prefixes, protected_paths_error_)) {
    // The backup files hold what was cleaned, often with the very patterns
    // that were found: a later cleaning of a folder above them must not
    // take the only copies.
    std::u16string backupFolder = StoredBackupFolder(storeFile);
    if (!backupFolder.empty()) prefixes.push_back(std::move(backupFolder));
    file_check_->SetProtectedPrefixes(std::move(prefixes));
  } else {
    file_check_->ProtectEverything();
  }
  return repository;
}

}  // namespace zevo::hostsim
