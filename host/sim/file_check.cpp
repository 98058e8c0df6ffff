#include "sim/file_check.h"

#include <cstring>
#include <exception>
#include <utility>

#include "sim/protected_paths.h"
#include "zevo/organizer.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::hostsim {

void FileCheck::SetProtectedPrefixes(std::vector<std::u16string> prefixes) {
  host::MutexLock lock(&mu_);
  prefixes_ = std::move(prefixes);
  protect_all_ = false;
}

void FileCheck::ProtectEverything() {
  host::MutexLock lock(&mu_);
  prefixes_.clear();
  protect_all_ = true;
}

std::vector<std::u16string> FileCheck::ProtectedPrefixes() const {
  host::MutexLock lock(&mu_);
  return prefixes_;
}

bool FileCheck::IsProtected(std::u16string_view path) const {
  host::MutexLock lock(&mu_);
  if (protect_all_) return true;
  for (const std::u16string& prefix : prefixes_) {
    if (PathUnderPrefix(path, prefix)) return true;
  }
  return false;
}

std::int32_t FileCheck::Call(std::uint32_t function, void* input, void* output) noexcept {
  if (function != kFileCheck) return kNotHandled;
  ++requests_;
  if (input == nullptr || output == nullptr) return kUnsupported;
  const auto& request = *static_cast<const ZEVO_FileCheckRequest*>(input);
  // The module always sends the markers 0 and 1; anything else is not a
  // request of this function and is not guessed at.
  if (request.path == nullptr || request.zero != 0 || request.one != 1) return kUnsupported;
  try {
    const bool keepOut = IsProtected(request.path);
    ZEVO_FileCheckReply reply{};
    reply.keepOut = keepOut ? 1 : 0;
    std::memcpy(output, &reply, sizeof reply);
    if (keepOut) ++kept_out_;
    return kCommonOk;
  } catch (const std::exception&) {
    return kFail;
  }
}

}  // namespace zevo::hostsim
