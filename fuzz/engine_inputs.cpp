// The reference engine's two file formats read from disk: the pattern text
// and the .tkb backup file. Any input either parses or is refused with
// std::runtime_error; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "backup_file.h"
#include "pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    tarsk::ParsePattern(bytes);
  } catch (const std::runtime_error&) {
  }
  try {
    tarsk::DecodeBackup(bytes);
  } catch (const std::runtime_error&) {
  }
  return 0;
}
