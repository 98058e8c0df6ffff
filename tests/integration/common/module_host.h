// Shared by the integration suites: the real module and the real reference
// engine of the build tree, driven through the reference host. Paths come
// from the suite's CMakeLists relative to the test program's folder, so they
// hold under wine too. The module is loaded once per test and unloaded after
// it, so every case starts with the module's global state fresh.
#ifndef ZEVO_TESTS_INTEGRATION_COMMON_MODULE_HOST_H_
#define ZEVO_TESTS_INTEGRATION_COMMON_MODULE_HOST_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/executable_folder.h"
#include "temp_folder.h"
#include "sim/plugin_module.h"
#include "sim/reference_host.h"
#include "zevo/plugin_exports.h"

namespace zevo::it {

namespace fs = std::filesystem;

inline fs::path FromBin(const char* relative) { return (hostsim::ExecutableFolder() / relative).lexically_normal(); }
inline fs::path ModuleFile() { return FromBin(ZEVO_IT_MODULE_NAME); }
inline fs::path EngineFolder() { return FromBin(ZEVO_IT_ENGINE_FROM_BIN); }

// A folder in the platform's own form, as UTF-8.
inline std::string StoreText(const fs::path& folder) {
  const std::u8string text = fs::path(folder).make_preferred().u8string();
  return std::string(text.begin(), text.end());
}

// A configuration store `name` in `folder`: engine mode 1, the debug folder
// inside `folder`, the temp folder `temp`, then `more` values.
inline fs::path WriteConfigStore(const TempFolder& folder, const fs::path& temp, const std::string& name,
                                 const nlohmann::json& more) {
  nlohmann::json values = nlohmann::json::array({
      {{"key", "0xc70000"}, {"type", "int32"}, {"value", 1}},
      {{"key", "0xc20001"}, {"type", "wstring"}, {"value", StoreText(folder / "debug" / "")}},
      {{"key", "0xc20002"}, {"type", "wstring"}, {"value", StoreText(temp / "")}},
  });
  values.insert(values.end(), more.begin(), more.end());
  folder.Write(name, nlohmann::json{{"values", values}}.dump());
  return folder / name;
}

// One loaded module and a host for it, with a configuration repository over
// a temporary store. The test starts and stops the module itself.
class ModuleHost {
 public:
  explicit ModuleHost(const fs::path& engineFolder = EngineFolder()) : folder_("host"), host_(engineFolder) {
    const auto backup = nlohmann::json::array(
        {{{"key", "0x10c20001"}, {"type", "wstring"}, {"value", StoreText(folder_ / "backup" / "")}}});
    const auto repository = host_.UseConfigStore(WriteConfigStore(folder_, folder_ / "temp", "config.json", backup));
    EXPECT_TRUE(repository->Loaded()) << repository->LoadError();
    Load();
  }
  ModuleHost(const ModuleHost&) = delete;
  ModuleHost& operator=(const ModuleHost&) = delete;

  // Loads the module again after Unload(), as an update does.
  void Load() {
    std::string error;
    module_ = hostsim::PluginModule::Open(ModuleFile(), error);
    EXPECT_TRUE(module_.Complete()) << ModuleFile() << ": " << error;
  }
  void Unload() { module_ = hostsim::PluginModule(); }

  bool Ready() const { return module_.Complete(); }
  const PluginExportTable& x() const { return module_.Exports(); }
  hostsim::ReferenceHost& host() { return host_; }

  std::int32_t Initialize() { return static_cast<std::int32_t>(x().Plugin_Interface_Initialize(host_.Organizer())); }
  std::int32_t PostInitialize() { return static_cast<std::int32_t>(x().Plugin_Interface_PostInitialize()); }
  std::int32_t PreUninitialize() { return static_cast<std::int32_t>(x().Plugin_Interface_PreUninitialize()); }
  std::int32_t Uninitialize() { return static_cast<std::int32_t>(x().Plugin_Interface_Uninitialize()); }

 private:
  // The host outlives the module: a module may still hold the table.
  TempFolder folder_;
  hostsim::ReferenceHost host_;
  hostsim::PluginModule module_;
};

// An interface object from QueryInterface, released when it goes.
class Object {
 public:
  Object(const PluginExportTable& exports, std::uint32_t id)
      : exports_(&exports), object_(exports.Plugin_Interface_QueryInterface(id)) {}
  ~Object() { Release(); }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  ICommonPluginInterface* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

  std::int32_t Call(std::uint32_t function, void* first = nullptr, void* second = nullptr) const {
    return exports_->Plugin_Interface_CallFunc(object_, function, first, second);
  }
  void Release() {
    if (object_ != nullptr) exports_->Plugin_Interface_Release(object_);
    object_ = nullptr;
  }

 private:
  const PluginExportTable* exports_;
  ICommonPluginInterface* object_;
};

// Function 9 or 10: a version text in a buffer of 15 UTF-16 characters.
inline std::u16string ReadVersion(const Object& engine, std::uint32_t function, std::int32_t& result) {
  char16_t buffer[15] = {};
  result = engine.Call(function, buffer);
  std::u16string text(buffer, 15);
  return text.substr(0, text.find(u'\0'));
}

}  // namespace zevo::it

#endif  // ZEVO_TESTS_INTEGRATION_COMMON_MODULE_HOST_H_
