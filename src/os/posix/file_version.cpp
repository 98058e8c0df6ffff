#include "os/file_version.h"

#include <vector>

#include "os/whole_file.h"

namespace zevo::os {

bool ReadFileVersion(std::u16string_view path, FixedVersion& version) noexcept {
  std::vector<std::uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != ReadFileResult::kOk) return false;
  return ParsePeFixedVersion(bytes.data(), bytes.size(), version);
}

}  // namespace zevo::os
