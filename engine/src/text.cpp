#include "text.h"

#include <charconv>

namespace tarsk {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, std::uint32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Length of the sequence a lead byte starts and its payload bits; 0 = bad.
int SequenceLength(unsigned char lead, std::uint32_t& cp) {
  if (lead < 0x80) { cp = lead; return 1; }
  if (lead >= 0xC2 && lead < 0xE0) { cp = lead & 0x1F; return 2; }
  if (lead >= 0xE0 && lead < 0xF0) { cp = lead & 0x0F; return 3; }
  if (lead >= 0xF0 && lead < 0xF5) { cp = lead & 0x07; return 4; }
  return 0;
}

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t cp = 0;
    const int len = SequenceLength(static_cast<unsigned char>(text[i]), cp);
    bool ok = len > 0 && i + len <= text.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    const std::uint32_t min = len == 2 ? 0x80 : len == 3 ? 0x800 : len == 4 ? 0x10000 : 0;
    ok = ok && cp >= min && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    AppendUtf16(out, ok ? cp : kReplacement);
    i += ok ? len : 1;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = kReplacement;
    }
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
  return out;
}

std::u16string_view TextOf(const char16_t* text) noexcept {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

bool WriteText(std::u16string_view text, char16_t* buffer, std::int32_t capacity) noexcept {
  if (buffer == nullptr || capacity <= 0 || text.size() >= static_cast<std::size_t>(capacity)) {
    return false;
  }
  text.copy(buffer, text.size());
  buffer[text.size()] = u'\0';
  return true;
}

std::optional<std::int64_t> ParseNumber(std::string_view text) {
  int base = 10;
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '-') return std::nullopt;  // one sign only, in front
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int64_t> ParseNumber(std::u16string_view text) {
  std::string narrow;
  for (const char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    narrow.push_back(static_cast<char>(c));
  }
  return ParseNumber(std::string_view(narrow));
}

template <typename Char>
static std::vector<std::basic_string_view<Char>> SplitAny(std::basic_string_view<Char> text,
                                                         Char separator) {
  std::vector<std::basic_string_view<Char>> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == text.npos ? text.npos : at - start));
    if (at == text.npos) return parts;
    start = at + 1;
  }
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  return SplitAny(text, separator);
}

std::vector<std::u16string_view> Split(std::u16string_view text, char16_t separator) {
  return SplitAny(text, separator);
}

std::u16string AsciiLower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = LowerAscii(c);
  return out;
}

bool GlobMatch(std::u16string_view glob, std::u16string_view name) {
  // Iterative match with one backtrack point for the last '*'.
  std::size_t g = 0, n = 0, star = std::u16string_view::npos, mark = 0;
  while (n < name.size()) {
    if (g < glob.size() && (glob[g] == u'?' || LowerAscii(glob[g]) == LowerAscii(name[n]))) {
      ++g;
      ++n;
    } else if (g < glob.size() && glob[g] == u'*') {
      star = g++;
      mark = n;
    } else if (star != std::u16string_view::npos) {
      g = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == u'*') ++g;
  return g == glob.size();
}

}  // namespace tarsk
