// ReferenceHost: the services table with the host modules a started
// plug-in reaches through it — scan manager (2, 21), RCM table
// (40000, 400001), file check (10, 101), configuration repository (5, 51)
// when a store is given — and entry 9 pointing into the engine folder.
//
// Not movable: the table hands its own address to the plug-in. The object
// must outlive every use of Organizer() by a module.
#ifndef ZEVO_HOST_SIM_REFERENCE_HOST_H_
#define ZEVO_HOST_SIM_REFERENCE_HOST_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "sim/config_repository.h"
#include "sim/file_check.h"
#include "sim/rcm_table.h"
#include "sim/scan_manager.h"
#include "sim/services.h"

namespace zevo::hostsim {

// The version triple the reference RCM table hands out.
inline constexpr std::uint32_t kRcmMajor = 4;
inline constexpr std::uint32_t kRcmMinor = 7;
inline constexpr std::uint32_t kRcmBuild = 1301;

class ReferenceHost {
 public:
  // Entry 9 points at the engine library inside `engineFolder` (empty:
  // entry 9 answers null). No configuration repository yet.
  explicit ReferenceHost(const std::filesystem::path& engineFolder);
  ReferenceHost(const ReferenceHost&) = delete;
  ReferenceHost& operator=(const ReferenceHost&) = delete;

  SPluginInterfaceOrganizer* Organizer() noexcept { return services_.Organizer(); }
  Services& services() noexcept { return services_; }
  ScanManager& scanManager() noexcept { return *scan_manager_; }
  RcmTable& rcmTable() noexcept { return *rcm_table_; }
  // Protects nothing until a store names protected paths.
  FileCheck& fileCheck() noexcept { return *file_check_; }

  // Registers a configuration repository over the JSON store `storeFile`
  // (replacing any earlier one) and returns it, and gives the file check the
  // store's protected paths (protected_paths.h) and the store's backup
  // folder (key 0x10c20001, when it holds no placeholder). A list that
  // cannot be read makes the file check keep every file out, and
  // ProtectedPathsError() say why; empty when the list was read.
  std::shared_ptr<ConfigRepository> UseConfigStore(const std::filesystem::path& storeFile);
  const std::string& ProtectedPathsError() const noexcept { return protected_paths_error_; }

  // Any host module, e.g. a stand-in that answers garbage; null removes.
  void Register(std::uint32_t moduleId, std::uint32_t interfaceId, std::shared_ptr<HostInterface> module) {
    services_.Register(moduleId, interfaceId, std::move(module));
  }

 private:
  Services services_;
  std::shared_ptr<ScanManager> scan_manager_;
  std::shared_ptr<RcmTable> rcm_table_;
  std::shared_ptr<FileCheck> file_check_;
  std::string protected_paths_error_;
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_REFERENCE_HOST_H_
