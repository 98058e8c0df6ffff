// The module path of services entry 9, from which the driver takes the
// engine folder (everything up to the path's last separator).
#ifndef ZEVO_HOST_SIM_ENGINE_FOLDER_H_
#define ZEVO_HOST_SIM_ENGINE_FOLDER_H_

#include <filesystem>
#include <string>

#include "sim/services.h"

namespace zevo::hostsim {

// The engine library's path inside `engineFolder`, with the platform's
// separators throughout (the driver cuts at the last one).
std::u16string EngineLibraryPath(const std::filesystem::path& engineFolder);

// Points entry 9 of `services` at the engine library inside `engineFolder`.
void SetEngineFolder(Services& services, const std::filesystem::path& engineFolder);

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_ENGINE_FOLDER_H_
