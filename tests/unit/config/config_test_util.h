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

// A command message as a reply carries it: `operation`, `key`, `status` and an
// int32 `datum` under `tag`.
inline ZEVO_DataHandleWrapper Command(std::uint32_t key, std::int32_t status, std::int32_t tag, std::int32_t datum,
                                      std::int32_t operation = 4) {
  ZEVO_DataHandleWrapper value(0x70005u), command(0x70002u);
  value.PutInt32(0x70005, datum);
  command.PutInt32(0x70006, operation), command.PutUInt32(0x70004, key), command.PutInt32(0x70008, status);
  command.PutInt32(0x70007, tag), command.PutData(value);
  return command;
}

}  // namespace zevo::config::test

#endif  // ZEVO_TESTS_UNIT_CONFIG_CONFIG_TEST_UTIL_H_
