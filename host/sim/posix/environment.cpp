#include "sim/environment.h"

#include <cstdlib>

namespace zevo::hostsim {

bool SetEnvironmentText(const char* name, const std::filesystem::path::string_type& value) noexcept {
  return setenv(name, value.c_str(), /*overwrite=*/1) == 0;
}

}  // namespace zevo::hostsim
