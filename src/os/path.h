// Path spelling of the platform.
#ifndef ZEVO_OS_PATH_H_
#define ZEVO_OS_PATH_H_

#include <string_view>

namespace zevo::os {

// Separator between folder names in a path. Every rule about "the
// backslash" in a path means this character.
#if defined(_WIN32)
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

inline constexpr std::u16string_view kPathSeparatorString{&kPathSeparator, 1};

}  // namespace zevo::os

#endif  // ZEVO_OS_PATH_H_
