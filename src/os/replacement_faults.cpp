// What every platform's FileReplacement shares: its temporary names and the
// faults that tests ask for.
#include <atomic>

#include "os/guid.h"
#include "os/whole_file.h"

namespace zevo::os {

namespace {

constexpr int kNoFault = -1;
std::atomic<int> faultStep{kNoFault};
std::atomic<std::int32_t> faultError{0};

}  // namespace

void FailReplacementStepForTesting(FileReplacement::Step step, std::int32_t error) noexcept {
  faultError.store(error);
  faultStep.store(static_cast<int>(step));
}

namespace internal {

bool TakeReplacementFault(FileReplacement::Step step, std::int32_t& error) noexcept {
  int expected = static_cast<int>(step);
  if (faultStep.load(std::memory_order_relaxed) != expected || !faultStep.compare_exchange_strong(expected, kNoFault)) {
    return false;
  }
  error = faultError.load();
  return true;
}

std::u16string TemporaryNameFor(std::u16string_view target) {
  // A GUID keeps concurrent savers, in this process or another, apart.
  const std::u16string guid = NewGuidText();
  std::u16string name(target);
  name += u'.';
  name += guid.empty() ? std::u16string(u"new") : guid.substr(1, guid.size() - 2);
  name += u".tmp";
  return name;
}

}  // namespace internal

}  // namespace zevo::os
