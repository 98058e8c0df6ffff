// PluginInterfaceClass: one connection to another host module's interface,
// opened through the host's services table (entries 0, 1 and 2).
#ifndef ZEVO_SRC_CONFIG_PLUGIN_INTERFACE_CLASS_H_
#define ZEVO_SRC_CONFIG_PLUGIN_INTERFACE_CLASS_H_

#include <cstdint>

#include "zevo/organizer.h"

namespace zevo::config {

class PluginInterfaceClass {
 public:
  // Opens the connection (entry 0 with the (module id, interface id) pair).
  // A null table, or a table without entry 0, gives no connection.
  PluginInterfaceClass(SPluginInterfaceOrganizer* organizer, std::uint32_t moduleId,
                       std::uint32_t interfaceId) noexcept;
  // Releases the handle (entry 1) whenever the table is non-null, even when
  // the open gave no handle: the host may count the attempt.
  ~PluginInterfaceClass();

  PluginInterfaceClass(const PluginInterfaceClass&) = delete;
  PluginInterfaceClass& operator=(const PluginInterfaceClass&) = delete;

  bool IsValid() const noexcept { return valid_; }
  std::uint64_t Handle() const noexcept { return handle_; }

  // Entry 2 with the handle; kNoConnection (0xe0ff000d) without a handle.
  std::int32_t CallFunc(std::uint32_t function, void* input, void* output) noexcept;

 private:
  SPluginInterfaceOrganizer* const organizer_;
  std::uint64_t handle_ = 0;
  bool valid_ = false;
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_PLUGIN_INTERFACE_CLASS_H_
