#include "sim/engine_folder.h"

#include "zevo/engine_api.h"

namespace zevo::hostsim {

std::u16string EngineLibraryPath(const std::filesystem::path& engineFolder) {
  std::filesystem::path file = engineFolder / std::u16string(kEngineFileName);
  return file.make_preferred().u16string();
}

void SetEngineFolder(Services& services, const std::filesystem::path& engineFolder) {
  services.SetModulePath(EngineLibraryPath(engineFolder));
}

}  // namespace zevo::hostsim
