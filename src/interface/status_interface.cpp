#include "interface/status_interface.h"

#include "zevo/result.h"

namespace zevo::iface {

void WriteModuleVersion(VersionInfo* version) noexcept {
  if (version != nullptr) *version = kModuleVersion;
}

void* ITarskEngineStatusInterface::DeleteThis(std::uint32_t flags) noexcept {
  if ((flags & ZEVO_DELETE_FREE) != 0) {
    delete this;
  } else {
    this->~ITarskEngineStatusInterface();
  }
  return this;
}

std::uint32_t ITarskEngineStatusInterface::GetModuleID() noexcept { return kModuleId; }

std::uint32_t ITarskEngineStatusInterface::GetInterfaceID() noexcept { return kEngineStatusInterfaceId; }

void ITarskEngineStatusInterface::GetModuleVersion(VersionInfo* version) noexcept { WriteModuleVersion(version); }

std::int32_t ITarskEngineStatusInterface::CallFunc(std::uint32_t /*function*/, void* /*first*/,
                                                   void* /*second*/) noexcept {
  return kOk;
}

}  // namespace zevo::iface
