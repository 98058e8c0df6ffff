// Owning handle of an engine interface object in the interface suites: the
// object is destroyed through its slot 0, as the plug-in's release does.
#ifndef ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
#define ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_

#include <cstdint>
#include <memory>

#include "driver/engine_tarsk.h"
#include "fake_engine.h"
#include "interface/tarsk_interface.h"
#include "os/path.h"
#include "sim/services.h"

namespace zevo::iface {

constexpr std::int32_t Code(std::uint32_t bits) { return static_cast<std::int32_t>(bits); }

struct DeleteObject {
  void operator()(ICommonPluginInterface* object) const { object->DeleteThis(ZEVO_DELETE_FREE); }
};
using EngineObject = std::unique_ptr<ITarskEngineInterface, DeleteObject>;

// A driver on the in-process fake engine with its main session open; null
// when it does not start. The fake engine loads nothing: the driver only
// needs a folder, which `services` names.
inline std::unique_ptr<driver::CEngineTARSK> StartFakeDriver(hostsim::Services& services) {
  services.SetModulePath(std::u16string(u"engine") + os::kPathSeparator + u"plugEngineTARSK");
  auto engine = std::make_unique<driver::CEngineTARSK>(services.Organizer(), testing::FakeEngine::Table());
  const std::int32_t* mainSession = nullptr;
  if (engine->Initialize() < 0 || engine->InitMainSession(&mainSession) < 0) return nullptr;
  return engine;
}

}  // namespace zevo::iface

#endif  // ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
