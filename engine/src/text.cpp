#include "text.h"

#include <charconv>

namespace tarsk {

namespace {

char16_t LowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

}  // namespace

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
static std::vector<std::basic_string_view<Char>> SplitAny(std::basic_string_view<Char> text, Char separator) {
  std::vector<std::basic_string_view<Char>> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == text.npos ? text.npos : at - start));
    if (at == text.npos) return parts;
    start = at + 1;
  }
}

std::vector<std::string_view> Split(std::string_view text, char separator) { return SplitAny(text, separator); }

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
