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

// A driver on the fake engine with its main session open (the fake loads
// nothing: the services name a folder); Publish() gives it lookup tables.
class InterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services_.SetModulePath(std::u16string(u"engine") + os::kPathSeparator + u"plugEngineTARSK");
    driver_ = std::make_unique<driver::CEngineTARSK>(services_.Organizer(), testing::FakeEngine::Table());
    const std::int32_t* mainSession = nullptr;
    ASSERT_GE(driver_->Initialize(), 0);
    ASSERT_GE(driver_->InitMainSession(&mainSession), 0);
  }
  void Publish(std::unique_ptr<driver::EngineTables> tables) {
    tables_.Publish(std::move(tables));
    driver_->SetTables(&tables_);
  }
  EngineObject NewObject() { return EngineObject(new ITarskEngineInterface(*driver_, services_.Organizer())); }
  // A new object with its session open for caller "job" and, given one, the
  // host's sink set.
  EngineObject Open(std::uint64_t cookie = 0, IProgressSink* sink = nullptr) {
    EngineObject object = NewObject();
    ZEVO_OpenBlock block{nullptr, "job", cookie};
    EXPECT_EQ(object->CallFunc(0, &block, nullptr), Code(0x20ff0000u));
    if (sink != nullptr) {
      EXPECT_EQ(object->CallFunc(5, sink, nullptr), Code(0x200c0000u));
    }
    return object;
  }

  testing::FakeEngine engine_;
  hostsim::Services services_;
  driver::PublishedTables tables_;
  std::unique_ptr<driver::CEngineTARSK> driver_;
};

}  // namespace zevo::iface

#endif  // ZEVO_TESTS_UNIT_INTERFACE_ENGINE_OBJECT_H_
