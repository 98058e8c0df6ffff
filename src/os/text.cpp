#include "os/text.h"

#include <cstddef>
#include <cstdint>

namespace zevo::os {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void AppendUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

// The bounds a sequence's lead byte allows for its second byte; they rule
// out overlong forms, encoded surrogates and values above U+10FFFF in one
// check (the table of well-formed sequences in the Unicode standard).
struct LeadInfo {
  int length;  // 0: not a lead byte
  std::uint8_t secondMin;
  std::uint8_t secondMax;
};

LeadInfo ClassifyLead(std::uint8_t b) {
  if (b < 0x80) return {1, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes one sequence at text[pos]. Sets `used` to the bytes consumed:
// the whole sequence, or on error the maximal valid prefix (at least one
// byte), which then stands for one U+FFFD.
char32_t DecodeOne(std::string_view text, std::size_t pos, std::size_t& used) {
  const auto lead = static_cast<std::uint8_t>(text[pos]);
  const LeadInfo info = ClassifyLead(lead);
  used = 1;
  if (info.length == 0) return kReplacement;
  if (info.length == 1) return lead;
  char32_t value = lead & (0xFF >> (info.length + 1));
  for (int i = 1; i < info.length; ++i) {
    if (pos + i >= text.size()) return kReplacement;
    const auto b = static_cast<std::uint8_t>(text[pos + i]);
    const std::uint8_t min = i == 1 ? info.secondMin : 0x80;
    const std::uint8_t max = i == 1 ? info.secondMax : 0xBF;
    if (b < min || b > max) return kReplacement;
    value = (value << 6) | (b & 0x3F);
    used = static_cast<std::size_t>(i) + 1;
  }
  return value;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = kReplacement;
    }
    AppendUtf8(c, out);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t used = 0;
    AppendUtf16(DecodeOne(text, pos, used), out);
    pos += used;
  }
  return out;
}

}  // namespace zevo::os
