#include "util/xml_name.h"

#include <cstdint>

namespace zevo::util {

namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// XML 1.0 (fifth edition) NameStartChar, without ':'.
constexpr Range kNameStart[] = {{U'A', U'Z'},     {U'_', U'_'},     {U'a', U'z'},      {0xC0, 0xD6},
                                {0xD8, 0xF6},     {0xF8, 0x2FF},    {0x370, 0x37D},    {0x37F, 0x1FFF},
                                {0x200C, 0x200D}, {0x2070, 0x218F}, {0x2C00, 0x2FEF},  {0x3001, 0xD7FF},
                                {0xF900, 0xFDCF}, {0xFDF0, 0xFFFD}, {0x10000, 0xEFFFF}};

// What NameChar adds to NameStartChar.
constexpr Range kNameRest[] = {{U'-', U'.'}, {U'0', U'9'}, {0xB7, 0xB7}, {0x300, 0x36F}, {0x203F, 0x2040}};

template <std::size_t N>
bool InRanges(char32_t c, const Range (&ranges)[N]) {
  for (const Range& r : ranges) {
    if (c >= r.first && c <= r.last) return true;
  }
  return false;
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool IsXmlElementName(std::u16string_view name) noexcept {
  if (name.empty()) return false;
  bool first = true;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char32_t c = name[i];
    if (IsHigh(name[i]) && i + 1 < name.size() && IsLow(name[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
      ++i;
    }
    // A lone surrogate lies in no range, so it is refused here too.
    const bool ok = InRanges(c, kNameStart) || (!first && InRanges(c, kNameRest));
    if (!ok) return false;
    first = false;
  }
  return true;
}

}  // namespace zevo::util
