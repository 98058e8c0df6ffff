// The configuration repository's side of the batch messages, written from
// the published layouts: a batch (name id 0x70001) holds its mode under
// 0x70003 (uint32), a context message 0x20515 and one command message
// 0x70002 per command; a command holds its operation under 0x70006 (int32),
// key 0x70004 (uint32), status 0x70008 (int32), value tag 0x70007 (int32)
// and the value message 0x70005, whose datum sits under index 0x70005.
#ifndef ZEVO_HOST_SIM_CONFIG_WIRE_H_
#define ZEVO_HOST_SIM_CONFIG_WIRE_H_

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/config_store.h"
#include "zevo/msg_wrapper.h"

namespace zevo::hostsim::wire {

inline constexpr std::uint32_t kBatch = 0x70001;
inline constexpr std::uint32_t kCommand = 0x70002;
inline constexpr std::uint32_t kMode = 0x70003;
inline constexpr std::uint32_t kKey = 0x70004;
inline constexpr std::uint32_t kValue = 0x70005;
inline constexpr std::uint32_t kOperation = 0x70006;
inline constexpr std::uint32_t kTag = 0x70007;
inline constexpr std::uint32_t kStatus = 0x70008;
inline constexpr std::uint32_t kContext = 0x20515;
inline constexpr std::uint32_t kRead = 4;

struct RequestCommand {
  std::uint32_t key;
  std::int32_t operation;
  std::int32_t tag;                     // 0 when absent
  ZEVO_DataHandleWrapper valueMessage;  // a copy; empty when absent
};

struct Request {
  std::optional<std::uint32_t> mode;
  std::optional<ZEVO_DataHandleWrapper> context;  // a copy
  std::vector<RequestCommand> commands;           // in message order; keyless ones skipped
};

// Reads a batch message. Nullopt when it is not one (wrong name id).
std::optional<Request> ReadRequest(const ZEVO_DataHandleWrapper& batch);

// A value message (0x70005) holding the stored datum in its tag's encoding.
std::optional<ZEVO_DataHandleWrapper> EncodeValue(const StoredValue& value);

// Appends one command message to `reply`.
std::int32_t PutCommand(ZEVO_DataHandleWrapper& reply, std::uint32_t key, std::int32_t operation, std::int32_t status,
                        std::int32_t tag, const ZEVO_DataHandleWrapper& valueMessage) noexcept;

}  // namespace zevo::hostsim::wire

#endif  // ZEVO_HOST_SIM_CONFIG_WIRE_H_
