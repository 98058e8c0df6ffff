// Fault injection for tests: the environment variable TARSK_FAULTS, e.g.
// "TKScan=-7;TKBackup=-12@2", makes an entry point return the given status
// (on every call, or only on its n-th call counted from the first call after
// the variable last changed).
#ifndef TARSK_FAULTS_H_
#define TARSK_FAULTS_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarsk {

// Counts the call of entry point `name` and returns the status to fail it
// with, if any. Safe for concurrent use.
std::optional<std::int32_t> InjectedFault(std::string_view name);

}  // namespace tarsk

#endif  // TARSK_FAULTS_H_
