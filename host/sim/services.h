// Services: the host's services table (SPluginInterfaceOrganizer) over a
// registry of host modules.
//
// Entry 0 opens a connection to the interface registered under a (module id,
// interface id) pair and returns a fresh nonzero handle (0 when nothing is
// registered there); entry 1 releases a handle; entry 2 calls the connected
// interface (0xe0ff000d for an unknown handle); entry 9 returns the module
// path, or null when none is set. Entries 3 to 8 are null.
//
// Modules are registered before or while the table is in use; a connection
// keeps its module alive until released. Safe for concurrent use.
#ifndef ZEVO_HOST_SIM_SERVICES_H_
#define ZEVO_HOST_SIM_SERVICES_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "common/sync.h"
#include "sim/host_interface.h"
#include "zevo/organizer.h"
#include "zevo/thread_annotations.h"

namespace zevo::hostsim {

class Services {
 public:
  Services() noexcept;
  Services(const Services&) = delete;
  Services& operator=(const Services&) = delete;

  // The table to hand to the plug-in; valid while this object lives.
  SPluginInterfaceOrganizer* Organizer() noexcept { return &table_.organizer; }

  // Registers (or replaces, or with null removes) the interface answering
  // the pair. Open connections keep the module they were opened on.
  void Register(std::uint32_t moduleId, std::uint32_t interfaceId, std::shared_ptr<HostInterface> module);

  // The path entry 9 returns; empty: entry 9 returns null. The returned
  // pointer stays valid until the next SetModulePath.
  void SetModulePath(std::u16string path);

  // Connections opened and not yet released.
  std::size_t OpenConnections() const;
  // Calls of entry 0, successful or not.
  std::size_t OpenRequests() const;

 private:
  // The table first, so that the table pointer the plug-in passes back
  // finds its owner.
  struct Table {
    SPluginInterfaceOrganizer organizer;
    Services* owner;
  };

  static Services& Owner(SPluginInterfaceOrganizer* self) noexcept;
  static std::uint64_t Open(SPluginInterfaceOrganizer* self, std::uint64_t pair) noexcept;
  static void Release(SPluginInterfaceOrganizer* self, std::uint64_t handle) noexcept;
  static std::int32_t Call(SPluginInterfaceOrganizer* self, std::uint64_t handle, std::uint32_t function, void* input,
                           void* output) noexcept;
  static const char16_t* ModulePath(SPluginInterfaceOrganizer* self) noexcept;

  Table table_;
  mutable host::Mutex mu_;
  std::map<std::uint64_t, std::shared_ptr<HostInterface>> modules_ ZEVO_GUARDED_BY(mu_);
  std::map<std::uint64_t, std::shared_ptr<HostInterface>> connections_ ZEVO_GUARDED_BY(mu_);
  std::uint64_t next_handle_ ZEVO_GUARDED_BY(mu_) = 1;
  std::size_t open_requests_ ZEVO_GUARDED_BY(mu_) = 0;
  std::u16string module_path_ ZEVO_GUARDED_BY(mu_);
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_SERVICES_H_
