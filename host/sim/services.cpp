#include "sim/services.h"

#include <cstddef>
#include <utility>

#include "zevo/result.h"

namespace zevo::hostsim {

Services::Services() noexcept : table_{} {
  table_.organizer.OpenInterface = &Services::Open;
  table_.organizer.ReleaseInterface = &Services::Release;
  table_.organizer.CallInterface = &Services::Call;
  table_.organizer.GetModulePath = &Services::ModulePath;
  table_.owner = this;
}

Services& Services::Owner(SPluginInterfaceOrganizer* self) noexcept { return *reinterpret_cast<Table*>(self)->owner; }

void Services::Register(std::uint32_t moduleId, std::uint32_t interfaceId, std::shared_ptr<HostInterface> module) {
  host::MutexLock lock(&mu_);
  const std::uint64_t pair = MakeModulePair(moduleId, interfaceId);
  if (module) {
    modules_[pair] = std::move(module);
  } else {
    modules_.erase(pair);
  }
}

void Services::SetModulePath(std::u16string path) {
  host::MutexLock lock(&mu_);
  module_path_ = std::move(path);
}

std::size_t Services::OpenConnections() const {
  host::MutexLock lock(&mu_);
  return connections_.size();
}

std::size_t Services::OpenRequests() const {
  host::MutexLock lock(&mu_);
  return open_requests_;
}

std::uint64_t Services::Open(SPluginInterfaceOrganizer* self, std::uint64_t pair) noexcept {
  Services& services = Owner(self);
  host::MutexLock lock(&services.mu_);
  ++services.open_requests_;
  const auto found = services.modules_.find(pair);
  if (found == services.modules_.end()) return 0;
  try {
    const std::uint64_t handle = services.next_handle_++;
    services.connections_.emplace(handle, found->second);
    return handle;
  } catch (...) {
    return 0;
  }
}

void Services::Release(SPluginInterfaceOrganizer* self, std::uint64_t handle) noexcept {
  std::shared_ptr<HostInterface> released;  // destroyed after the lock is left
  Services& services = Owner(self);
  host::MutexLock lock(&services.mu_);
  const auto found = services.connections_.find(handle);
  if (found == services.connections_.end()) return;
  released = std::move(found->second);
  services.connections_.erase(found);
}

std::int32_t Services::Call(SPluginInterfaceOrganizer* self, std::uint64_t handle, std::uint32_t function, void* input,
                            void* output) noexcept {
  std::shared_ptr<HostInterface> module;
  {
    Services& services = Owner(self);
    host::MutexLock lock(&services.mu_);
    const auto found = services.connections_.find(handle);
    if (found == services.connections_.end()) return kNoConnection;
    module = found->second;
  }
  // Outside the lock: a module may call back into the table.
  return module->Call(function, input, output);
}

const char16_t* Services::ModulePath(SPluginInterfaceOrganizer* self) noexcept {
  Services& services = Owner(self);
  host::MutexLock lock(&services.mu_);
  return services.module_path_.empty() ? nullptr : services.module_path_.c_str();
}

}  // namespace zevo::hostsim
