// Whole-file reads and replacing writes.
#ifndef TARSK_FILE_IO_H_
#define TARSK_FILE_IO_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsk {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

// Writes into a temporary file beside `file`, then renames it over `file`,
// so a failure never leaves a half-written target. False on failure.
bool ReplaceFile(const std::filesystem::path& file, std::string_view bytes);

// Lines without their line ends; a final line without one is kept.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace tarsk

#endif  // TARSK_FILE_IO_H_
