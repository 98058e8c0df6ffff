#include "sim/utf8.h"

#include <cstdint>

namespace zevo::hostsim {

std::optional<std::u16string> DecodeUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    std::size_t extra = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
      code = lead;
    } else if ((lead & 0xe0) == 0xc0) {
      extra = 1, code = lead & 0x1f, smallest = 0x80;
    } else if ((lead & 0xf0) == 0xe0) {
      extra = 2, code = lead & 0x0f, smallest = 0x800;
    } else if ((lead & 0xf8) == 0xf0) {
      extra = 3, code = lead & 0x07, smallest = 0x10000;
    } else {
      return std::nullopt;
    }
    if (text.size() - i <= extra) return std::nullopt;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<std::uint8_t>(text[i + k]);
      if ((next & 0xc0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3f);
    }
    if (code < smallest || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return std::nullopt;
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xd800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xdc00 + (code & 0x3ff)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += extra + 1;
  }
  return out;
}

}  // namespace zevo::hostsim
