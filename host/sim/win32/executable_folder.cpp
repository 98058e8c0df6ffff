#include "sim/executable_folder.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace zevo::hostsim {

std::filesystem::path ExecutableFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      return std::filesystem::path(std::wstring_view(buffer.data(), length)).parent_path();
    }
    buffer.resize(buffer.size() * 2);  // the name was cut
  }
}

}  // namespace zevo::hostsim
