#include "os/file_version.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "os/win32/wide.h"

namespace zevo::os {

bool ReadFileVersion(std::u16string_view path, FixedVersion& version) noexcept {
  try {
    const std::wstring native = win32::ToWide(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(native.c_str(), &ignored);
    if (size == 0) return false;
    std::vector<std::uint8_t> block(size);
    if (GetFileVersionInfoW(native.c_str(), 0, size, block.data()) == 0) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) == 0 || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
      return false;
    }
    version = FixedVersion{fixed->dwFileVersionMS, fixed->dwFileVersionLS};
    return true;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
}

}  // namespace zevo::os
