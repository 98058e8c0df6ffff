// Protected path prefixes: the rule by which the file check keeps a file out
// of the cleaning, and where the list lives in the configuration store.
//
//   { "values": [ ... ],
//     "protectedPaths": [ "/srv/keep", "C:\\Tools\\" ] }
//
// "protectedPaths" is optional; each entry is a non-empty path text.
#ifndef ZEVO_HOST_SIM_PROTECTED_PATHS_H_
#define ZEVO_HOST_SIM_PROTECTED_PATHS_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zevo::hostsim {

// The top-level field of the configuration store that holds the list.
inline constexpr const char* kProtectedPathsField = "protectedPaths";

// Whether `path` is `prefix` or lies below it. The prefix must end at a
// separator of the path (or itself end with one), so "/a/b" covers "/a/b"
// and "/a/b/c" but not "/a/bc". Compared as the platform's file system
// compares names: on Windows ASCII letters case-insensitively and '/' equal
// to '\'; on POSIX exactly. An empty prefix covers nothing.
bool PathUnderPrefix(std::u16string_view path, std::u16string_view prefix) noexcept;

// Parses the "protectedPaths" field of a store document into `prefixes`
// (left empty when the field is absent). False, with `error` saying what is
// wrong, when the text is not JSON or the field is not an array of
// non-empty strings in valid UTF-8.
bool ParseProtectedPaths(std::string_view json, std::vector<std::u16string>& prefixes, std::string& error);
bool LoadProtectedPaths(const std::filesystem::path& storeFile, std::vector<std::u16string>& prefixes,
                        std::string& error);

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_PROTECTED_PATHS_H_
