// ScanManager: the reference scan manager (module 2, interface 21), as far
// as a plug-in registers commands with it.
//
// Functions 14099 (register) and 14100 (unregister) take a pointer to the
// ZEVO_DataHandleWrapper of a registration message as input. Every such
// command is recorded with the values the message carried; the answer is
// the configured one (0x20ff0000 unless set), or 0xe0ff0007 when the input
// is not a live message. Any other function answers 0xe0ff0002 and is not
// recorded.
//
// Safe for concurrent use.
#ifndef ZEVO_HOST_SIM_SCAN_MANAGER_H_
#define ZEVO_HOST_SIM_SCAN_MANAGER_H_

#include <cstdint>
#include <vector>

#include "common/sync.h"
#include "sim/host_interface.h"
#include "zevo/result.h"
#include "zevo/thread_annotations.h"

namespace zevo::hostsim {

// Indexes of the registration message.
inline constexpr std::uint32_t kRegistrationCommandIndex = 131372;    // 0x2012c
inline constexpr std::uint32_t kRegistrationModuleIndex = 133073;     // 0x207d1
inline constexpr std::uint32_t kRegistrationInterfaceIndex = 133074;  // 0x207d2

// One register or unregister command as the scan manager received it.
struct ReceivedCommand {
  std::uint32_t function = 0;
  bool liveMessage = false;  // the input pointed at a live message
  bool outputGiven = false;  // the output pointer was not null
  std::uint32_t nameId = 0;
  // The signed 32-bit values under each index, by position.
  std::vector<std::int32_t> commands;
  std::vector<std::int32_t> moduleIds;
  std::vector<std::int32_t> interfaceIds;
  std::int32_t answer = 0;
};

class ScanManager final : public HostInterface {
 public:
  ScanManager() = default;

  // What well-formed register and unregister commands answer from now on.
  void SetAnswer(std::int32_t answer);

  // Every recorded command, oldest first.
  std::vector<ReceivedCommand> Received() const;

  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override;

 private:
  mutable host::Mutex mu_;
  std::int32_t answer_ ZEVO_GUARDED_BY(mu_) = kCommonOk;
  std::vector<ReceivedCommand> received_ ZEVO_GUARDED_BY(mu_);
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_SCAN_MANAGER_H_
