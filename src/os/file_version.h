// The fixed version block of a Windows file's version resource.
#ifndef ZEVO_OS_FILE_VERSION_H_
#define ZEVO_OS_FILE_VERSION_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zevo::os {

// The two version values of VS_FIXEDFILEINFO: dwFileVersionMS and
// dwFileVersionLS.
struct FixedVersion {
  std::uint32_t mostSignificant = 0;
  std::uint32_t leastSignificant = 0;
};

// Windows: GetFileVersionInfoSizeW, GetFileVersionInfoW and VerQueryValueW
// with the sub-block "\". POSIX: the PE file's resource section read as
// ParsePeFixedVersion does. False for a file without a version resource
// (any ELF file) or one that cannot be read.
bool ReadFileVersion(std::u16string_view path, FixedVersion& version) noexcept;

// The fixed version block of the first RT_VERSION resource in the PE image
// `data` (a file's bytes, not a mapped image). Every offset and size read
// is checked against `size`: a truncated image or one that lies about its
// sizes answers false.
bool ParsePeFixedVersion(const std::uint8_t* data, std::size_t size, FixedVersion& version) noexcept;

}  // namespace zevo::os

#endif  // ZEVO_OS_FILE_VERSION_H_
