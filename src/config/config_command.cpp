#include "config/config_command.h"

#include <new>

#include "config/config_layout.h"
#include "config/config_value_factory.h"

namespace zevo::config {

std::shared_ptr<CConfigCommand> CConfigCommand::FromMessage(const ZEVO_DataHandleWrapper& command) noexcept {
  std::uint32_t key = 0;
  if (command.GetUInt32At(kCommandKeyIndex, 0, &key) < 0) return nullptr;
  // The operation is written as a signed number; a sender that wrote it
  // unsigned is read as well.
  std::int32_t signed_operation = 0;
  std::uint32_t operation = 0;
  if (command.GetInt32At(kCommandOperationIndex, 0, &signed_operation) >= 0) {
    operation = static_cast<std::uint32_t>(signed_operation);
  } else {
    command.GetUInt32At(kCommandOperationIndex, 0, &operation);
  }
  std::shared_ptr<CConfigCommand> result;
  try {
    result = std::make_shared<CConfigCommand>(operation, key);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  std::int32_t status = kFail;  // until a status is read
  command.GetInt32At(kCommandStatusIndex, 0, &status);
  result->status_ = status;
  result->value_ = ReadConfigValue(command);
  return result;
}

std::int32_t CConfigCommand::WriteToMessage(ZEVO_DataHandleWrapper& command) const noexcept {
  if (!value_) return kUnsupported;
  std::int32_t rc = command.PutInt32(kCommandOperationIndex, static_cast<std::int32_t>(operation_));
  if (rc >= 0) rc = command.PutUInt32(kCommandKeyIndex, key_);
  if (rc >= 0) rc = command.PutInt32(kCommandStatusIndex, status_);
  if (rc < 0) return rc;
  return value_->WriteToMessage(command);
}

std::int32_t CConfigCommand::Dispatch(IConfigCommandHandler* handler) noexcept {
  if (handler == nullptr || !value_) return kUnsupported;
  switch (operation_) {
    case 1:
      status_ = handler->OnOperation1(*this);
      break;
    case 2:
      status_ = handler->OnOperation2(*this);
      break;
    case 3:
      status_ = handler->OnOperation3(*this);
      break;
    case 4:
      status_ = handler->OnOperation4(*this);
      break;
    case 5:
      status_ = handler->OnOperation5(*this);
      break;
    case 6:
      status_ = handler->OnOperation6(*this);
      break;
    default:
      status_ = kFail;
      break;
  }
  return status_;
}

}  // namespace zevo::config
