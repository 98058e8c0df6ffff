// PluginModule: the plug-in module loaded by path and its ten exports bound
// by name, as the platform's core service does it.
//
// Move-only; the destructor unloads the library. A module whose library
// opened but lacks exports stays loaded (so that its state can be
// examined) and reports every missing name; Complete() tells whether all
// ten were found.
#ifndef ZEVO_HOST_SIM_PLUGIN_MODULE_H_
#define ZEVO_HOST_SIM_PLUGIN_MODULE_H_

#include <filesystem>
#include <string>
#include <vector>

#include "zevo/plugin_exports.h"

namespace zevo::hostsim {

class PluginModule {
 public:
  PluginModule() noexcept = default;
  ~PluginModule();
  PluginModule(PluginModule&& other) noexcept;
  PluginModule& operator=(PluginModule&& other) noexcept;
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Opens the library at `file` and binds the exports. When the library
  // cannot be opened the result is not Loaded() and `error` says why.
  static PluginModule Open(const std::filesystem::path& file, std::string& error);

  bool Loaded() const noexcept { return library_ != nullptr; }
  bool Complete() const noexcept { return Loaded() && missing_.empty(); }

  // The names not found, in the order of ZEVO_PLUGIN_EXPORTS.
  const std::vector<std::string>& MissingExports() const noexcept { return missing_; }

  // The bound exports; a missing one is null.
  const PluginExportTable& Exports() const noexcept { return exports_; }
  const PluginExportTable* operator->() const noexcept { return &exports_; }

 private:
  void Unload() noexcept;

  void* library_ = nullptr;
  PluginExportTable exports_;
  std::vector<std::string> missing_;
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_PLUGIN_MODULE_H_
