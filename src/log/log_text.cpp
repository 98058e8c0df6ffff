#include "log/log_text.h"

#include <charconv>

namespace zevo::logging {

void AppendHex(std::u16string& out, uint64_t value) {
  if (value == 0) {
    out += u'0';
    return;
  }
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, value, 16);
  out += u"0x";
  out.append(digits, result.ptr);  // to_chars writes lower-case digits
}

void AppendPiece(std::u16string& out, std::u16string_view text) { out += text; }

void AppendPiece(std::u16string& out, const char16_t* text) {
  if (text != nullptr) out += text;
}

void AppendPiece(std::u16string& out, std::string_view text) {
  for (char c : text) AppendPiece(out, c);
}

void AppendPiece(std::u16string& out, const char* text) {
  if (text != nullptr) AppendPiece(out, std::string_view(text));
}

void AppendPiece(std::u16string& out, char16_t c) { out += c; }

void AppendPiece(std::u16string& out, char c) {
  const auto byte = static_cast<unsigned char>(c);
  out += byte < 0x80 ? static_cast<char16_t>(byte) : u'\uFFFD';
}

void AppendPiece(std::u16string& out, bool value) { out += value ? u"true" : u"false"; }

void AppendPiece(std::u16string& out, Dec value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value.magnitude());
  if (value.negative()) out += u'-';
  out.append(digits, result.ptr);
}

}  // namespace zevo::logging
