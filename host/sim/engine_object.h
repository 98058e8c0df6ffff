// EngineObject: one engine interface object (100011) of a started module,
// released through the module when it goes. Move-free: the jobs keep it on
// their stack for the length of one job.
#ifndef ZEVO_HOST_SIM_ENGINE_OBJECT_H_
#define ZEVO_HOST_SIM_ENGINE_OBJECT_H_

#include <cstdint>

#include "zevo/identity.h"
#include "zevo/plugin_exports.h"

namespace zevo::hostsim {

class EngineObject {
 public:
  explicit EngineObject(const PluginExportTable& exports) noexcept
      : exports_(exports), object_(exports.Plugin_Interface_QueryInterface(kEngineInterfaceId)) {}
  ~EngineObject() { Release(); }
  EngineObject(const EngineObject&) = delete;
  EngineObject& operator=(const EngineObject&) = delete;

  explicit operator bool() const noexcept { return object_ != nullptr; }
  std::int32_t Call(std::uint32_t function, void* first) const noexcept {
    return exports_.Plugin_Interface_CallFunc(object_, function, first, nullptr);
  }
  void Release() noexcept {
    if (object_ != nullptr) exports_.Plugin_Interface_Release(object_);
    object_ = nullptr;
  }

 private:
  const PluginExportTable& exports_;
  ICommonPluginInterface* object_;
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_ENGINE_OBJECT_H_
