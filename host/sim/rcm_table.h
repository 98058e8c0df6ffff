// RcmTable: the reference RCM table (module 40000, interface 400001).
//
// Function 1 takes no input and fills the 592-byte ZEVO_RcmRecord its output
// points at: the version triple, then a fixed byte pattern. It answers the
// configured result (0x20ff0000 unless set); a failure writes nothing. A
// null output gives 0xe0ff0007; any other function 0xe0ff0002.
//
// Safe for concurrent use.
#ifndef ZEVO_HOST_SIM_RCM_TABLE_H_
#define ZEVO_HOST_SIM_RCM_TABLE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "sim/host_interface.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::hostsim {

class RcmTable final : public HostInterface {
 public:
  RcmTable(std::uint32_t major, std::uint32_t minor, std::uint32_t build) noexcept;

  // The record function 1 writes.
  const ZEVO_RcmRecord& Record() const noexcept { return record_; }

  void SetAnswer(std::int32_t answer) noexcept { answer_.store(answer); }

  // Calls of function 1, answered or not.
  std::size_t Requests() const noexcept { return requests_.load(); }

  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override;

 private:
  ZEVO_RcmRecord record_;
  std::atomic<std::int32_t> answer_{kCommonOk};
  std::atomic<std::size_t> requests_{0};
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_RCM_TABLE_H_
