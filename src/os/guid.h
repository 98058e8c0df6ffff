// Fresh GUIDs as text.
#ifndef ZEVO_OS_GUID_H_
#define ZEVO_OS_GUID_H_

#include <cstddef>
#include <string>

namespace zevo::os {

// Length of "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
inline constexpr std::size_t kGuidTextLength = 38;

// A new random GUID in braced registry form, upper-case hex, 38 characters.
// Windows: CoCreateGuid + StringFromGUID2. POSIX: a version-4 GUID from the
// system's random source, written the same way. Empty only when Windows
// refuses to make a GUID; callers treat that as a failure to create one.
// Safe for concurrent use. Throws only std::bad_alloc.
std::u16string NewGuidText();

}  // namespace zevo::os

#endif  // ZEVO_OS_GUID_H_
