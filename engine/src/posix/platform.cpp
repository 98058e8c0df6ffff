#include "platform.h"

#include <cstdlib>

#include "text.h"

namespace tarsk {

const char16_t kPathListSeparator = u':';
const char16_t kPathSeparator = u'/';

std::filesystem::path ToPath(std::u16string_view text) { return std::filesystem::path(Utf16ToUtf8(text)); }

std::u16string FromPath(const std::filesystem::path& path) { return Utf8ToUtf16(path.native()); }

std::optional<std::u16string> GetEnv(const char16_t* name) {
  const char* value = std::getenv(Utf16ToUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return Utf8ToUtf16(value);
}

}  // namespace tarsk
