#include "utf.h"

#include <cstdint>

namespace zevo::host {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendCodePoint(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendUtf16(char32_t cp, std::u16string& out) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
  }
}

// Decodes one sequence at text[i]; sets `used` to the bytes consumed (at
// least one) and returns kMalformed for anything malformed.
constexpr char32_t kMalformed = 0xFFFFFFFF;

char32_t DecodeUtf8(std::string_view text, size_t i, size_t& used) {
  const auto lead = static_cast<uint8_t>(text[i]);
  used = 1;
  if (lead < 0x80) return lead;
  size_t length;
  char32_t cp;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return kMalformed;
  }
  if (text.size() - i < length) return kMalformed;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[i + k]);
    if ((next & 0xC0) != 0x80) return kMalformed;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    return kMalformed;
  }
  used = length;
  return cp;
}

}  // namespace

void AppendUtf8(std::u16string_view text, std::string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      const char32_t cp = 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      AppendCodePoint(cp, out);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendCodePoint(kReplacement, out);
    } else {
      AppendCodePoint(c, out);
    }
  }
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(text, out);
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t used = 0;
  for (size_t i = 0; i < text.size(); i += used) {
    const char32_t cp = DecodeUtf8(text, i, used);
    AppendUtf16(cp == kMalformed ? kReplacement : cp, out);
  }
  return out;
}

std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t used = 0;
  for (size_t i = 0; i < text.size(); i += used) {
    const char32_t cp = DecodeUtf8(text, i, used);
    if (cp == kMalformed) return std::nullopt;
    AppendUtf16(cp, out);
  }
  return out;
}

}  // namespace zevo::host
