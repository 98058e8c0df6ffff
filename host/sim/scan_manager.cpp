#include "sim/scan_manager.h"

#include <utility>

#include "zevo/msg_wrapper.h"
#include "zevo/organizer.h"
#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

// The signed 32-bit values under `index`, by position; a value of another
// type ends the list there.
std::vector<std::int32_t> Int32Values(const ZEVO_DataHandleWrapper& message, std::uint32_t index) {
  std::vector<std::int32_t> values;
  std::uint32_t count = 0;
  if (message.GetSizeOf(index, &count) < 0) return values;
  for (std::uint32_t position = 0; position < count; ++position) {
    std::int32_t value = 0;
    if (message.GetInt32At(index, position, &value) < 0) break;
    values.push_back(value);
  }
  return values;
}

ReceivedCommand Decode(std::uint32_t function, const void* input, const void* output) {
  ReceivedCommand command;
  command.function = function;
  command.outputGiven = output != nullptr;
  if (input == nullptr) return command;
  const auto& message = *static_cast<const ZEVO_DataHandleWrapper*>(input);
  command.liveMessage = message.GetNameID(&command.nameId) >= 0;
  if (!command.liveMessage) return command;
  command.commands = Int32Values(message, kRegistrationCommandIndex);
  command.moduleIds = Int32Values(message, kRegistrationModuleIndex);
  command.interfaceIds = Int32Values(message, kRegistrationInterfaceIndex);
  return command;
}

}  // namespace

void ScanManager::SetAnswer(std::int32_t answer) {
  host::MutexLock lock(&mu_);
  answer_ = answer;
}

std::vector<ReceivedCommand> ScanManager::Received() const {
  host::MutexLock lock(&mu_);
  return received_;
}

std::int32_t ScanManager::Call(std::uint32_t function, void* input, void* output) noexcept {
  if (function != kScanManagerRegister && function != kScanManagerUnregister) return kNotHandled;
  try {
    ReceivedCommand command = Decode(function, input, output);
    host::MutexLock lock(&mu_);
    command.answer = command.liveMessage ? answer_ : kUnsupported;
    received_.push_back(std::move(command));
    return received_.back().answer;
  } catch (...) {
    return kFail;
  }
}

}  // namespace zevo::hostsim
