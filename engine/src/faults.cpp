#include "faults.h"

#include <map>
#include <string>

#include "common/sync.h"
#include "platform.h"
#include "text.h"

namespace tarsk {

namespace {

struct Fault {
  std::int32_t status = 0;
  std::int64_t onCall = 0;  // 0 = every call
};

struct FaultState {
  zevo::host::Mutex mu;
  std::u16string faultText ZEVO_GUARDED_BY(mu);
  std::map<std::string, Fault, std::less<>> faults ZEVO_GUARDED_BY(mu);
  std::map<std::string, std::int64_t, std::less<>> calls ZEVO_GUARDED_BY(mu);
};

FaultState& State() {
  static FaultState state;
  return state;
}

// Entries that do not parse are ignored: a test sees their absence.
std::map<std::string, Fault, std::less<>> ParseFaults(std::u16string_view faultText) {
  std::map<std::string, Fault, std::less<>> faults;
  for (const std::u16string_view entry : Split(faultText, u';')) {
    const std::size_t eq = entry.find(u'=');
    if (eq == entry.npos) continue;
    std::u16string_view value = entry.substr(eq + 1);
    Fault fault;
    const std::size_t at = value.find(u'@');
    if (at != value.npos) {
      fault.onCall = ParseNumber(value.substr(at + 1)).value_or(-1);
      value = value.substr(0, at);
    }
    const auto status = ParseNumber(value);
    if (!status || fault.onCall < 0) continue;
    fault.status = static_cast<std::int32_t>(*status);
    faults[Utf16ToUtf8(entry.substr(0, eq))] = fault;
  }
  return faults;
}

}  // namespace

std::optional<std::int32_t> InjectedFault(std::string_view name) {
  const std::u16string faultText = GetEnv(u"TARSK_FAULTS").value_or(u"");
  FaultState& state = State();
  zevo::host::MutexLock lock(&state.mu);
  if (faultText != state.faultText) {
    state.faultText = faultText;
    state.faults = ParseFaults(faultText);
    state.calls.clear();
  }
  if (state.faults.empty()) return std::nullopt;
  const auto it = state.faults.find(name);
  if (it == state.faults.end()) return std::nullopt;
  const std::int64_t call = ++state.calls[std::string(name)];
  if (it->second.onCall != 0 && it->second.onCall != call) return std::nullopt;
  return it->second.status;
}

}  // namespace tarsk
