#include "os/posix/registry_names.h"

#include "os/registry.h"
#include "os/text.h"

namespace zevo::os::posix {

namespace {

void AppendEscaped(std::string& out, char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kHex[static_cast<unsigned char>(c) >> 4]);
  out.push_back(kHex[static_cast<unsigned char>(c) & 0xF]);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> KeyFileName(std::u16string_view name) {
  if (name.empty() || name.size() > kMaxKeyNameLength || name == u"." || name == u"..") {
    return std::nullopt;
  }
  if (name.find_first_of(u"/\0", 0, 2) != std::u16string_view::npos) {
    return std::nullopt;
  }
  std::string out;
  for (char c : Utf16ToUtf8(name)) {
    if (c == '%' || (c == '=' && out.empty())) {
      AppendEscaped(out, c);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::optional<std::string> ValueFileName(std::u16string_view name) {
  if (name.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  std::string out = "=";
  for (char c : Utf16ToUtf8(name)) {
    if (c == '%' || c == '/') {
      AppendEscaped(out, c);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::u16string KeyNameOf(std::string_view fileName) {
  std::string out;
  for (std::size_t i = 0; i < fileName.size(); ++i) {
    if (fileName[i] == '%' && i + 2 < fileName.size() && HexDigit(fileName[i + 1]) >= 0 &&
        HexDigit(fileName[i + 2]) >= 0) {
      out.push_back(static_cast<char>(HexDigit(fileName[i + 1]) * 16 + HexDigit(fileName[i + 2])));
      i += 2;
    } else {
      out.push_back(fileName[i]);
    }
  }
  return Utf8ToUtf16(out);
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace zevo::os::posix
