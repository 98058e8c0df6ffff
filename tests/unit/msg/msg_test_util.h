// Small helpers shared by the message library tests.
#ifndef ZEVO_TESTS_UNIT_MSG_MSG_TEST_UTIL_H_
#define ZEVO_TESTS_UNIT_MSG_MSG_TEST_UTIL_H_

#include <cstdint>
#include <string>

#include "zevo/msg.h"

namespace zevo::msg_test {

// Owns one handle for the length of a test.
class ScopedHandle {
 public:
  explicit ScopedHandle(std::uint32_t name_id = 0) { ok_ = ZEVO_Msg_CreateDataHandle(name_id, &h_) == ZEVO_MSG_S_OK; }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() {
    if (h_.words[0] != 0) ZEVO_Msg_DestroyDataHandle(&h_);
  }
  bool ok() const { return ok_; }
  ZEVO_DataHandle* get() { return &h_; }

 private:
  ZEVO_DataHandle h_{};
  bool ok_ = false;
};

inline std::u16string WStringAt(const ZEVO_DataHandle* h, std::uint32_t index, std::uint32_t pos) {
  std::uint32_t len = 0;
  if (ZEVO_Msg_GetWStringAt(h, index, pos, nullptr, 0, &len) != ZEVO_MSG_S_OK) return u"<absent>";
  std::u16string s(len + 1, u'\0');
  if (ZEVO_Msg_GetWStringAt(h, index, pos, s.data(), len + 1, &len) != ZEVO_MSG_S_OK) return u"<failed>";
  s.resize(len);
  return s;
}

// The number of values under `index`, or 999 when the call fails.
inline std::uint32_t SizeOf(const ZEVO_DataHandle* h, std::uint32_t index) {
  std::uint32_t count = 0;
  return ZEVO_Msg_GetSizeOf(h, index, &count) == ZEVO_MSG_S_OK ? count : 999;
}

inline std::uint32_t NameOf(const ZEVO_DataHandle* h) {
  std::uint32_t name = 999;
  ZEVO_Msg_GetNameID(h, &name);
  return name;
}

inline std::int32_t Int32At(const ZEVO_DataHandle* h, std::uint32_t index, std::uint32_t pos) {
  std::int32_t v = -12345;
  ZEVO_Msg_GetInt32At(h, index, pos, &v);
  return v;
}

}  // namespace zevo::msg_test

#endif  // ZEVO_TESTS_UNIT_MSG_MSG_TEST_UTIL_H_
