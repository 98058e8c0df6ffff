// Helpers shared by the configuration client's tests.
#ifndef ZEVO_TESTS_UNIT_CONFIG_CONFIG_TEST_UTIL_H_
#define ZEVO_TESTS_UNIT_CONFIG_CONFIG_TEST_UTIL_H_

#include <cstdint>
#include <vector>

#include "zevo/msg_wrapper.h"

namespace zevo::config::test {

// The packed bytes of a message, for byte-for-byte comparisons.
inline std::vector<std::uint8_t> Packed(const ZEVO_DataHandleWrapper& message) {
  ZEVO_DataHandleWrapper shared(message);
  std::uint32_t length = 0;
  const void* start = nullptr;
  if (shared.Pack() < 0 || shared.GetDataLen(&length) < 0 || shared.GetStartAddress(&start) < 0) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(start);
  return std::vector<std::uint8_t>(bytes, bytes + length);
}

inline std::uint32_t NameId(const ZEVO_DataHandleWrapper& message) {
  std::uint32_t id = 0xffffffffu;
  message.GetNameID(&id);
  return id;
}

}  // namespace zevo::config::test

#endif  // ZEVO_TESTS_UNIT_CONFIG_CONFIG_TEST_UTIL_H_
