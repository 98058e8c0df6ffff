#include "sim/executable_folder.h"

namespace zevo::hostsim {

std::filesystem::path ExecutableFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

}  // namespace zevo::hostsim
