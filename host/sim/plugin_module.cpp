#include "sim/plugin_module.h"

#include <utility>

#include "sim/shared_library.h"

namespace zevo::hostsim {

PluginModule::~PluginModule() { Unload(); }

PluginModule::PluginModule(PluginModule&& other) noexcept
    : library_(std::exchange(other.library_, nullptr)),
      exports_(std::exchange(other.exports_, PluginExportTable{})),
      missing_(std::move(other.missing_)) {
  other.missing_.clear();
}

PluginModule& PluginModule::operator=(PluginModule&& other) noexcept {
  if (this != &other) {
    Unload();
    library_ = std::exchange(other.library_, nullptr);
    exports_ = std::exchange(other.exports_, PluginExportTable{});
    missing_ = std::move(other.missing_);
    other.missing_.clear();
  }
  return *this;
}

PluginModule PluginModule::Open(const std::filesystem::path& file, std::string& error) {
  PluginModule module;
  module.library_ = platform::OpenLibrary(file, error);
  if (module.library_ == nullptr) return module;
    // Every name is looked up, so that one report lists all that are missing.
#define ZEVO_BIND_EXPORT(name)                                                                         \
  module.exports_.name = reinterpret_cast<PFN_##name>(platform::FindFunction(module.library_, #name)); \
  if (module.exports_.name == nullptr) module.missing_.emplace_back(#name);
  ZEVO_PLUGIN_EXPORTS(ZEVO_BIND_EXPORT)
#undef ZEVO_BIND_EXPORT
  return module;
}

void PluginModule::Unload() noexcept {
  exports_ = PluginExportTable{};
  missing_.clear();
  platform::CloseLibrary(std::exchange(library_, nullptr));
}

}  // namespace zevo::hostsim
