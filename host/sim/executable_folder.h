// Where the running program lies: zevo-host and the integration tests find
// the module and the engine of their build tree from there.
#ifndef ZEVO_HOST_SIM_EXECUTABLE_FOLDER_H_
#define ZEVO_HOST_SIM_EXECUTABLE_FOLDER_H_

#include <filesystem>

namespace zevo::hostsim {

// The folder of the running program's file; empty when the system does not
// say. May throw std::filesystem::filesystem_error or std::bad_alloc.
std::filesystem::path ExecutableFolder();

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_EXECUTABLE_FOLDER_H_
