// The few things the engine asks of the operating system beyond the
// standard library; posix/ or win32/ holds the implementation the build picks.
#ifndef TARSK_PLATFORM_H_
#define TARSK_PLATFORM_H_

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarsk {

// Separator of a path list in an environment variable (':' or ';').
extern const char16_t kPathListSeparator;
// Separator between folder names in a path text ('/' or '\\').
extern const char16_t kPathSeparator;

// A UTF-16 path text as a file-system path (wide on Windows, UTF-8 bytes on
// POSIX), and back.
std::filesystem::path ToPath(std::u16string_view text);
std::u16string FromPath(const std::filesystem::path& path);

// The value of an environment variable of the process, or nothing when it
// is not set.
std::optional<std::u16string> GetEnv(const char16_t* name);

}  // namespace tarsk

#endif  // TARSK_PLATFORM_H_
