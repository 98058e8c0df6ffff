#include "os/guid.h"

#include <objbase.h>

#include "os/win32/wide.h"

namespace zevo::os {

std::u16string NewGuidText() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid))) return {};
  wchar_t text[kGuidTextLength + 1] = {};
  // StringFromGUID2 counts the terminating NUL in its result.
  const int written = StringFromGUID2(guid, text, kGuidTextLength + 1);
  if (written != static_cast<int>(kGuidTextLength + 1)) return {};
  return win32::FromWide({text, kGuidTextLength});
}

}  // namespace zevo::os
