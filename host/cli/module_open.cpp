#include "module_open.h"

#include <exception>

#include "info_report.h"
#include "zevo/engine_api.h"
#include "zevo/result.h"

namespace zevo::cli {

hostsim::PluginModule LoadModule(const std::filesystem::path& file) {
  std::string error;
  hostsim::PluginModule module = hostsim::PluginModule::Open(file, error);
  if (!module.Loaded()) throw Failure{"cannot load module " + PathText(file) + ": " + error};
  if (!module.Complete()) {
    std::string names;
    for (const std::string& name : module.MissingExports()) names += (names.empty() ? "" : ", ") + name;
    throw Failure{"module " + PathText(file) + " lacks the exports " + names};
  }
  return module;
}

std::string StartFailure(std::int32_t code, const std::filesystem::path& engineFolder) {
  std::string text = "start failed: Plugin_Interface_PostInitialize returned " + Hex(code);
  if (code == kEngineLoadFailed && !std::filesystem::exists(engineFolder / std::u16string(kEngineFileName))) {
    text += " (no tarsk64.dll in " + PathText(engineFolder) + ")";
  }
  return text;
}

void ReportCurrentFailure(std::ostream& err) noexcept {
  try {
    throw;
  } catch (const Failure& failure) {
    err << "zevo-host: " << failure.message << '\n';
  } catch (const std::exception& e) {
    err << "zevo-host: " << e.what() << '\n';
  } catch (...) {
    err << "zevo-host: unexpected failure\n";
  }
}

}  // namespace zevo::cli
