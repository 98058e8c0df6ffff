// ITarskEngineStatusInterface: the object whose presence tells the host that
// the engine came up. It identifies the module and offers no function of its
// own: every CallFunc succeeds without touching its arguments.
#ifndef ZEVO_SRC_INTERFACE_STATUS_INTERFACE_H_
#define ZEVO_SRC_INTERFACE_STATUS_INTERFACE_H_

#include <cstdint>

#include "zevo/identity.h"
#include "zevo/plugin_interface.h"

namespace zevo::iface {

class ITarskEngineStatusInterface final : public ICommonPluginInterface {
 public:
  ITarskEngineStatusInterface() noexcept = default;
  ITarskEngineStatusInterface(const ITarskEngineStatusInterface&) noexcept = default;
  ITarskEngineStatusInterface& operator=(const ITarskEngineStatusInterface&) noexcept = default;

  void* DeleteThis(std::uint32_t flags) noexcept override;
  std::uint32_t GetModuleID() noexcept override;
  std::uint32_t GetInterfaceID() noexcept override;
  void GetModuleVersion(VersionInfo* version) noexcept override;
  // kOk (0x200c0000) for every function number; neither pointer is read.
  std::int32_t CallFunc(std::uint32_t function, void* first, void* second) noexcept override;

 private:
  // Destroyed only through DeleteThis.
  ~ITarskEngineStatusInterface() = default;
};

// Writes the module version into `version`; null is ignored. Shared by the
// export and both interface objects.
void WriteModuleVersion(VersionInfo* version) noexcept;

}  // namespace zevo::iface

#endif  // ZEVO_SRC_INTERFACE_STATUS_INTERFACE_H_
