#include "sim/reference_host.h"

#include <vector>

#include "sim/engine_folder.h"
#include "sim/protected_paths.h"
#include "zevo/organizer.h"

namespace zevo::hostsim {

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
    file_check_->SetProtectedPrefixes(std::move(prefixes));
  } else {
    file_check_->ProtectEverything();
  }
  return repository;
}

}  // namespace zevo::hostsim
