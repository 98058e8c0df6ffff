// Pieces the table operations of CEngineTARSK share: the row buffer the
// engine writes into and the owner of one open table enumeration.
#ifndef ZEVO_SRC_DRIVER_TABLE_ROWS_H_
#define ZEVO_SRC_DRIVER_TABLE_ROWS_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "zevo/engine_api.h"

namespace zevo::driver {

// One engine row of kRowCapacity characters, zeroed, followed by one NUL
// that the engine is never told about: whatever the engine writes, the text
// is terminated, so readers need no bounds of their own.
class RowBuffer {
 public:
  char16_t* data() noexcept { return chars_.data(); }
  const char16_t* c_str() const noexcept { return chars_.data(); }
  static constexpr std::int32_t capacity() noexcept { return kRowCapacity; }
  // Forgets the previous row, so that a call that reports success without
  // writing yields an empty row rather than the old one again.
  void Reset() noexcept { chars_[0] = u'\0'; }
  std::u16string_view Text() const noexcept { return chars_.data(); }

 private:
  std::array<char16_t, kRowCapacity + 1> chars_{};
};

// The leading number of the text at `p` as _wtol reads it (see RowNumber),
// moving `p` past it. Stops at the first character that is not part of the
// number (a separator or a NUL ends it as the end of the field would) and,
// when kBounded, at `end`.
template <bool kBounded>
inline std::int32_t TakeLeadingNumber(const char16_t*& p, const char16_t* end) noexcept {
  const auto more = [&p, end] { return !kBounded || p != end; };
  while (more() && (*p == u' ' || (*p >= u'\t' && *p <= u'\r'))) ++p;
  bool negative = false;
  if (more() && (*p == u'+' || *p == u'-')) negative = *p++ == u'-';
  const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
  std::int64_t magnitude = 0;
  for (; more() && *p >= u'0' && *p <= u'9'; ++p) {
    magnitude = magnitude * 10 + (*p - u'0');
    if (magnitude > limit) magnitude = limit;  // saturated: later digits change nothing
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

// Reads the fields of one NUL-terminated row front to back in a single
// pass, touching only the characters up to the last field asked for. Same
// results as RowField / RowNumber on the row's text.
class RowReader {
 public:
  explicit RowReader(const char16_t* terminated) noexcept : p_(terminated) {}

  // Moves to the start of field `n`; a row with fewer fields leaves it
  // empty. REQUIRES: `n` is above the field last read, or equal to it
  // while nothing of that field was taken yet.
  RowReader& Field(std::size_t n) noexcept {
    for (; field_ < n; ++field_) {
      while (*p_ != kRowFieldSeparator && *p_ != u'\0') ++p_;
      if (*p_ == u'\0') break;
      ++p_;
    }
    field_ = n;
    return *this;
  }

  // The current field's leading number; moves on within the field.
  std::int32_t TakeNumber() noexcept { return TakeLeadingNumber<false>(p_, nullptr); }

  std::u16string_view Text() const noexcept {
    const char16_t* q = p_;
    while (*q != kRowFieldSeparator && *q != u'\0') ++q;
    return {p_, static_cast<std::size_t>(q - p_)};
  }

 private:
  const char16_t* p_;
  std::size_t field_ = 0;
};

// Owns one enumeration opened with TKOpenTable*Enum: closes it on Close()
// or, at the latest, on destruction (status then ignored).
class OpenEnumeration {
 public:
  OpenEnumeration(const TkFunctionTable& engine, std::int32_t session, std::int32_t enumeration) noexcept
      : engine_(engine), session_(session), enumeration_(enumeration) {}
  ~OpenEnumeration() { Close(); }
  OpenEnumeration(const OpenEnumeration&) = delete;
  OpenEnumeration& operator=(const OpenEnumeration&) = delete;

  std::int32_t id() const noexcept { return enumeration_; }

  // TKCloseHandle's status; 0 when already closed.
  std::int32_t Close() noexcept {
    if (closed_) return 0;
    closed_ = true;
    return engine_.TKCloseHandle(session_, enumeration_);
  }

 private:
  const TkFunctionTable& engine_;
  const std::int32_t session_;
  const std::int32_t enumeration_;
  bool closed_ = false;
};

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_TABLE_ROWS_H_
