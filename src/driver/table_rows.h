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

// One engine row of kRowCapacity characters, zeroed. Text() stops at the
// first NUL or at the end of the buffer, so an engine that forgets the
// terminator cannot make a reader run past it.
class RowBuffer {
 public:
  char16_t* data() noexcept { return chars_.data(); }
  static constexpr std::int32_t capacity() noexcept { return kRowCapacity; }
  // Forgets the previous row, so that a call that reports success without
  // writing yields an empty row rather than the old one again.
  void Reset() noexcept { chars_[0] = u'\0'; }
  std::u16string_view Text() const noexcept {
    const char16_t* end = std::char_traits<char16_t>::find(chars_.data(), chars_.size(), u'\0');
    return {chars_.data(),
            end == nullptr ? chars_.size() : static_cast<std::size_t>(end - chars_.data())};
  }

 private:
  std::array<char16_t, kRowCapacity> chars_{};
};

// Owns one enumeration opened with TKOpenTable*Enum: closes it on Close()
// or, at the latest, on destruction (status then ignored).
class OpenEnumeration {
 public:
  OpenEnumeration(const TkFunctionTable& engine, std::int32_t session,
                  std::int32_t enumeration) noexcept
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
