// Owning handle of an engine interface object in the interface suites: the
// object is destroyed through its slot 0, as the plug-in's release does.
#ifndef ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
#define ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_

#include <cstdint>
#include <memory>

#include "interface/tarsk_interface.h"

namespace zevo::iface {

constexpr std::int32_t Code(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

struct DeleteObject {
  void operator()(ICommonPluginInterface* object) const { object->DeleteThis(ZEVO_DELETE_FREE); }
};
using EngineObject = std::unique_ptr<ITarskEngineInterface, DeleteObject>;

}  // namespace zevo::iface

#endif  // ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
