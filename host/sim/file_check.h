// FileCheck: the reference file check (module 10, interface 101), which the
// module asks about every file it is about to clean.
//
// Function 39107 takes a ZEVO_FileCheckRequest (zero, path, one) as input
// and a 16-byte ZEVO_FileCheckReply as output. It zeroes the reply, sets
// keepOut to 1 when the path lies under one of the protected path prefixes
// (PathUnderPrefix), and answers 0x20ff0000. A null input or output, a null
// path or a request whose marker fields are not 0 and 1 answers 0xe0ff0007
// and leaves the reply alone; any other function answers 0xe0ff0002.
//
// The prefixes come from the configuration store's top-level
// "protectedPaths" array of path texts (LoadProtectedPaths). When that list
// cannot be read, the host calls ProtectEverything(): every file is kept out
// rather than files the user meant to protect being cleaned.
//
// Safe for concurrent use: the module may check from several cleaning
// threads while the host replaces the list.
#ifndef ZEVO_HOST_SIM_FILE_CHECK_H_
#define ZEVO_HOST_SIM_FILE_CHECK_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/sync.h"
#include "sim/host_interface.h"
#include "zevo/thread_annotations.h"

namespace zevo::hostsim {

class FileCheck final : public HostInterface {
 public:
  FileCheck() = default;

  void SetProtectedPrefixes(std::vector<std::u16string> prefixes);
  std::vector<std::u16string> ProtectedPrefixes() const;
  // Keeps every file out of the cleaning until new prefixes are set.
  void ProtectEverything();

  // Whether `path` lies under one of the protected prefixes.
  bool IsProtected(std::u16string_view path) const;

  // Calls of function 39107, well formed or not; and how many were kept out.
  std::size_t Requests() const noexcept { return requests_.load(); }
  std::size_t KeptOut() const noexcept { return kept_out_.load(); }

  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override;

 private:
  mutable host::Mutex mu_;
  std::vector<std::u16string> prefixes_ ZEVO_GUARDED_BY(mu_);
  bool protect_all_ ZEVO_GUARDED_BY(mu_) = false;
  std::atomic<std::size_t> requests_{0};
  std::atomic<std::size_t> kept_out_{0};
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_FILE_CHECK_H_
