#include "sim/rcm_table.h"

#include <cstring>

#include "zevo/organizer.h"

namespace zevo::hostsim {

RcmTable::RcmTable(std::uint32_t major, std::uint32_t minor, std::uint32_t build) noexcept : record_{} {
  record_.major = major;
  record_.minor = minor;
  record_.build = build;
  // A recognisable filling, so that a copy that lost or shifted bytes shows.
  for (std::size_t i = 0; i < sizeof(record_.opaque); ++i) {
    record_.opaque[i] = static_cast<std::uint8_t>(i * 7 + 1);
  }
}

std::int32_t RcmTable::Call(std::uint32_t function, void* /*input*/, void* output) noexcept {
  if (function != kRcmTableGet) return kNotHandled;
  ++requests_;
  if (output == nullptr) return kUnsupported;
  const std::int32_t answer = answer_.load();
  if (answer >= 0) std::memcpy(output, &record_, sizeof(record_));
  return answer;
}

}  // namespace zevo::hostsim
