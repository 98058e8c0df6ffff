// Building log texts from pieces. Every integer becomes "0x" + lower-case
// hex digits (zero as "0"); types of up to 32 bits show 32-bit two's
// complement digits when negative, 64-bit types 64-bit ones. Dec() asks for
// decimal instead, for the rare text that needs it.
#ifndef ZEVO_SRC_LOG_LOG_TEXT_H_
#define ZEVO_SRC_LOG_LOG_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace zevo::logging {

// A number to be written in decimal: Dec(-5) gives "-5".
class Dec {
 public:
  template <class T>
  requires std::is_integral_v<T>
  constexpr explicit Dec(T value)
      : negative_(value < 0), magnitude_(value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value)) {}

  bool negative() const { return negative_; }
  uint64_t magnitude() const { return magnitude_; }

 private:
  bool negative_;
  uint64_t magnitude_;
};

void AppendHex(std::u16string& out, uint64_t value);

void AppendPiece(std::u16string& out, std::u16string_view text);
void AppendPiece(std::u16string& out, const char16_t* text);  // null: nothing
// Narrow texts are taken as ASCII; a byte above 0x7f becomes U+FFFD.
void AppendPiece(std::u16string& out, std::string_view text);
void AppendPiece(std::u16string& out, const char* text);  // null: nothing
void AppendPiece(std::u16string& out, char16_t c);
void AppendPiece(std::u16string& out, char c);
void AppendPiece(std::u16string& out, bool value);  // "true" / "false"
void AppendPiece(std::u16string& out, Dec value);

template <class T>
concept LogNumber = (std::is_integral_v<T> || std::is_enum_v<T>)&&!std::is_same_v<T, bool> &&
                    !std::is_same_v<T, char> && !std::is_same_v<T, char16_t>;

template <LogNumber T>
void AppendPiece(std::u16string& out, T value) {
  if constexpr (std::is_enum_v<T>) {
    AppendPiece(out, static_cast<std::underlying_type_t<T>>(value));
  } else if constexpr (sizeof(T) <= sizeof(uint32_t)) {
    AppendHex(out, static_cast<uint32_t>(value));
  } else {
    static_assert(sizeof(T) == sizeof(uint64_t), "no wider integers in logs");
    AppendHex(out, static_cast<uint64_t>(value));
  }
}

// The pieces joined. Throws only std::bad_alloc.
template <class... Pieces>
std::u16string Concat(const Pieces&... pieces) {
  std::u16string text;
  (AppendPiece(text, pieces), ...);
  return text;
}

}  // namespace zevo::logging

#endif  // ZEVO_SRC_LOG_LOG_TEXT_H_
