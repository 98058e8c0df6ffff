// Case-insensitive wildcards, path pattern lists, and short (8.3) names.
// Pure functions on texts except GetLongPathCopy, which asks the system.
#ifndef ZEVO_UTIL_PATH_MATCH_H_
#define ZEVO_UTIL_PATH_MATCH_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zevo::util {

// Whether `text` matches `pattern`: '*' any run (also empty), '?' exactly
// one character, everything else itself with ASCII letters compared in upper
// case. Time O(|text| x the longest run between two stars), never
// exponential: "*a*a*a*a*b" against 100 000 characters is linear.
bool MatchWildcard(std::u16string_view pattern, std::u16string_view text) noexcept;

// Whether `path` matches one of `patterns` (empty ones skipped, in order): a
// path of three or more characters by MatchWildcard, else (or when that
// fails) by a case-insensitive prefix (Matches) or whole equality (Equals).
// False for an empty list.
bool PathMatchesAnyPattern(std::u16string_view path, const std::vector<std::u16string>& patterns) noexcept;
bool PathEqualsAnyPattern(std::u16string_view path, const std::vector<std::u16string>& patterns) noexcept;

// Whether the last component of `path` looks like a short name: its '~' at
// index 6, then one character and the end, or one character, a '.' and an
// extension (dot included) shorter than five. False for null.
bool IsShortNameComponent(const char16_t* path) noexcept;

// False when some '~' followed by a digit and then the end, a '.' or a
// separator sits in a component that begins at a separator and spans 5 to 8
// characters from that separator up to the '~'; true otherwise (and for
// null, which has none).
bool HasNoShortNameComponent(const char16_t* path) noexcept;

// The long form of a path with short components (GetLongPathNameW); when the
// path does not exist, the long form of its folder followed by the last
// separator and component, unless that component is a short name itself.
// Nullopt for null, for a path without short components and on failure.
// POSIX has no short names: an existing path is its own long form.
std::optional<std::u16string> GetLongPathCopy(const char16_t* path) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_UTIL_PATH_MATCH_H_
