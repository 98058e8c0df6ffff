// A driver over the in-process fake engine, started as the plug-in would
// start it, with a small company table, for tests of the engine interface.
#ifndef ZEVO_TESTS_UNIT_INTERFACE_INTERFACE_FIXTURE_H_
#define ZEVO_TESTS_UNIT_INTERFACE_INTERFACE_FIXTURE_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "driver/engine_tables.h"
#include "driver/engine_tarsk.h"
#include "fake_engine.h"
#include "interface/tarsk_interface.h"
#include "os/path.h"
#include "sim/config_repository.h"
#include "sim/services.h"
#include "zevo/organizer.h"

namespace zevo::ifacetest {

struct DeleteObject {
  void operator()(ICommonPluginInterface* object) const { object->DeleteThis(ZEVO_DELETE_FREE); }
};
using EngineObject = std::unique_ptr<iface::ITarskEngineInterface, DeleteObject>;

class EngineInterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The in-process engine loads nothing; the driver only needs a folder.
    services_.SetModulePath(std::u16string(u"engine") + os::kPathSeparator + u"plugEngineTARSK");
    driver_ = std::make_unique<driver::CEngineTARSK>(services_.Organizer(), testing::FakeEngine::Table());
    ASSERT_GE(driver_->Initialize(), 0);
    const std::int32_t* mainSession = nullptr;
    ASSERT_GE(driver_->InitMainSession(&mainSession), 0);
    companies_.AddRow(7, u"a");
    companies_.AddRow(9, u"b");
    companies_.Seal();
    driver_->SetCompanyTable(&companies_);
  }

  EngineObject NewObject() {
    return EngineObject(new iface::ITarskEngineInterface(*driver_, services_.Organizer()));
  }

  // Serves the configuration repository from `json` (a store file).
  void UseRepository(const std::string& json) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("zevo-iface-store-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".json");
    std::ofstream(file) << json;
    auto repository = std::make_shared<hostsim::ConfigRepository>(file);
    std::filesystem::remove(file);
    ASSERT_TRUE(repository->Loaded()) << repository->LoadError();
    services_.Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, repository);
  }

  testing::FakeEngine engine_;
  hostsim::Services services_;
  driver::CompanyIdNameTable companies_;
  std::unique_ptr<driver::CEngineTARSK> driver_;
};

}  // namespace zevo::ifacetest

#endif  // ZEVO_TESTS_UNIT_INTERFACE_INTERFACE_FIXTURE_H_
