// ConfigRepository: the reference configuration repository (module 5,
// interface 51).
//
// Functions 8209 and 8210 take a pointer to the ZEVO_DataHandleWrapper of a
// request batch as input and a pointer to the ZEVO_DataHandleWrapper of the
// reply as output. The reply is a batch of the same form, with the
// request's mode and context and one command per request command, in the
// request's order:
//   - a read (operation 4) of a key the store holds with the requested tag:
//     status 0x20ff0000 and the stored value;
//   - a key the store lacks, a value stored with another tag, or another
//     operation: status kStatusNotAnswered and the request's own value.
// Function results: 0x20ff0000; 0xe0ff0007 for a missing pointer or a
// request that is not a batch; 0xe0ff0002 for any other function.
//
// The store is read once, at construction, and never changes: safe for
// concurrent use.
#ifndef ZEVO_HOST_SIM_CONFIG_REPOSITORY_H_
#define ZEVO_HOST_SIM_CONFIG_REPOSITORY_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "sim/config_store.h"
#include "sim/host_interface.h"
#include "zevo/msg_wrapper.h"

namespace zevo::hostsim {

class ConfigRepository final : public HostInterface {
 public:
  // The status of a command the repository cannot answer (0xe0ff0007:
  // missing key or wrong type).
  static constexpr std::int32_t kStatusNotAnswered = static_cast<std::int32_t>(0xe0ff0007u);

  // Loads the store from `storeFile`. A file that cannot be loaded leaves
  // the store empty (every read unanswered); LoadError() tells why.
  explicit ConfigRepository(const std::filesystem::path& storeFile);

  bool Loaded() const noexcept { return load_error_.empty(); }
  const std::string& LoadError() const noexcept { return load_error_; }

  // Requests answered (8209 and 8210, well formed or not).
  std::size_t Requests() const noexcept { return requests_.load(); }

  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override;

 private:
  std::int32_t Answer(const ZEVO_DataHandleWrapper& request, ZEVO_DataHandleWrapper& reply) const;

  ConfigStore store_;
  std::string load_error_;
  std::atomic<std::size_t> requests_{0};
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_CONFIG_REPOSITORY_H_
