// Shared by the interface suites: an owning handle of an engine interface
// object (destroyed through its slot 0, as the plug-in's release does) and a
// fixture with a driver on the in-process fake engine.
#ifndef ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
#define ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "driver/engine_tables.h"
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

// A driver on the fake engine for the interface suites; Publish() gives it
// lookup tables.
class InterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    driver_ = StartFakeDriver(services_);
    ASSERT_NE(driver_, nullptr);
  }
  void Publish(std::unique_ptr<driver::EngineTables> tables) {
    tables_.Publish(std::move(tables));
    driver_->SetTables(&tables_);
  }
  EngineObject NewObject() { return EngineObject(new ITarskEngineInterface(*driver_, services_.Organizer())); }

  testing::FakeEngine engine_;
  hostsim::Services services_;
  driver::PublishedTables tables_;
  std::unique_ptr<driver::CEngineTARSK> driver_;
};

}  // namespace zevo::iface

#endif  // ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
