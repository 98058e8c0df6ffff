#include "sim/environment.h"

#include <windows.h>

#include <string>

namespace zevo::hostsim {

// SetEnvironmentVariableW, not the C runtime's copy: the engine reads the
// process environment with GetEnvironmentVariableW.
bool SetEnvironmentText(const char* name, const std::filesystem::path::string_type& value) noexcept {
  try {
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    return SetEnvironmentVariableW(wideName.c_str(), value.c_str()) != 0;
  } catch (...) {
    return false;
  }
}

}  // namespace zevo::hostsim
