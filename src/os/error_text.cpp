// The parts of system_error.h that are the same on every platform.
#include "os/system_error.h"

#include <string>

namespace zevo::os {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::u16string FormatErrorText(std::int32_t code, std::u16string_view message) {
  std::u16string text = u"failed with error ";
  for (char c : std::to_string(code)) text.push_back(static_cast<char16_t>(c));
  text += u": ";
  text += message;
  if (text.size() > kMaxErrorTextLength) {
    text.resize(kMaxErrorTextLength);
    // Half a pair is not a character: drop it rather than log garbage.
    if (IsHighSurrogate(text.back())) text.pop_back();
  }
  return text;
}

}  // namespace zevo::os
