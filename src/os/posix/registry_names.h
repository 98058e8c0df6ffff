// How registry names become file names in the folder tree of registry.cpp,
// and back. Pure text work: nothing here touches the file system.
//
// A key's folder is its name in UTF-8 with '%' written "%25" and a leading
// '=' written "%3D"; a value's file is '=' followed by its name in UTF-8
// with '%' written "%25" and '/' written "%2F". So a key folder never starts
// with '=' and the two kinds never collide.
#ifndef ZEVO_OS_POSIX_REGISTRY_NAMES_H_
#define ZEVO_OS_POSIX_REGISTRY_NAMES_H_

#include <optional>
#include <string>
#include <string_view>

namespace zevo::os::posix {

// The folder name of one key name; nullopt for a name that would leave the
// key's folder or that the registry does not allow (empty, too long, "." or
// "..", or holding '/' or NUL). Throws std::bad_alloc.
std::optional<std::string> KeyFileName(std::u16string_view name);

// The file name of one value name; nullopt for a name holding NUL.
// Throws std::bad_alloc.
std::optional<std::string> ValueFileName(std::u16string_view name);

// The key name a folder name stands for: every "%XX" (two hex digits)
// becomes its byte again, anything else is kept. Throws std::bad_alloc.
std::u16string KeyNameOf(std::string_view fileName);

// Whether two file names are the same once ASCII letters are folded.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept;

}  // namespace zevo::os::posix

#endif  // ZEVO_OS_POSIX_REGISTRY_NAMES_H_
