// A host module's interface as the services table hands it out.
#ifndef ZEVO_HOST_SIM_HOST_INTERFACE_H_
#define ZEVO_HOST_SIM_HOST_INTERFACE_H_

#include <cstdint>

namespace zevo::hostsim {

class HostInterface {
 public:
  virtual ~HostInterface() = default;
  // Function `function` with the caller's two untyped pointers, as entry 2
  // of the services table passes them. May run on any thread, concurrently.
  virtual std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept = 0;
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_HOST_INTERFACE_H_
