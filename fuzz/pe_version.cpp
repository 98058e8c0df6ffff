// The PE version reader over arbitrary bytes: no crash, no read outside.
#include <cstddef>
#include <cstdint>

#include "os/file_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zevo::os::FixedVersion version;
  zevo::os::ParsePeFixedVersion(data, size, version);
  return 0;
}
