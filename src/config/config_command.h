// Configuration commands: one key, an operation code, a status and a typed
// value, as sent to and returned by the configuration repository.
//
// Command message layout (name id 0x70002): index 0x70006 operation (int32),
// 0x70004 key (uint32), 0x70008 status (int32), then the value: 0x70007 tag
// (int32) and the value message nested under 0x70005.
#ifndef ZEVO_SRC_CONFIG_CONFIG_COMMAND_H_
#define ZEVO_SRC_CONFIG_CONFIG_COMMAND_H_

#include <cstdint>
#include <memory>
#include <string>

#include "config/config_value.h"
#include "config/config_value_factory.h"
#include "zevo/result.h"

namespace zevo::config {

class IConfigCommand;

// Receives a dispatched command: operation code N calls OnOperationN. The
// codes' meanings are the handler's; 4 is a read.
class IConfigCommandHandler {
 public:
  virtual ~IConfigCommandHandler() = default;
  virtual std::int32_t OnOperation1(IConfigCommand& command) noexcept = 0;
  virtual std::int32_t OnOperation2(IConfigCommand& command) noexcept = 0;
  virtual std::int32_t OnOperation3(IConfigCommand& command) noexcept = 0;
  virtual std::int32_t OnOperation4(IConfigCommand& command) noexcept = 0;
  virtual std::int32_t OnOperation5(IConfigCommand& command) noexcept = 0;
  virtual std::int32_t OnOperation6(IConfigCommand& command) noexcept = 0;
};

class IConfigCommand {
 public:
  virtual ~IConfigCommand() = default;

  virtual std::uint32_t GetKey() const noexcept = 0;
  virtual std::uint32_t GetOperation() const noexcept = 0;
  // The value's type tag; 0 without a value.
  virtual std::uint32_t GetValueType() const noexcept = 0;
  virtual std::int32_t GetStatus() const noexcept = 0;
  virtual std::int32_t SetStatus(std::int32_t status) noexcept = 0;

  // kUnsupported without a value; a negative status is answered as such;
  // otherwise the value's conversion (config_value.h).
  virtual std::int32_t GetValue(std::u16string& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::uint64_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::uint32_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::uint16_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::uint8_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::int64_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::int32_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::int16_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(std::int8_t& out) const noexcept = 0;
  virtual std::int32_t GetValue(bool& out) const noexcept = 0;
  virtual std::int32_t GetValue(ZEVO_DataHandleWrapper& out) const noexcept = 0;

  // Without a value, first makes one of the argument's type; then the
  // value's own conversion.
  virtual std::int32_t SetValue(const std::u16string& value) noexcept = 0;
  virtual std::int32_t SetValue(std::uint64_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::uint32_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::uint16_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::uint8_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::int64_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::int32_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::int16_t value) noexcept = 0;
  virtual std::int32_t SetValue(std::int8_t value) noexcept = 0;
  virtual std::int32_t SetValue(bool value) noexcept = 0;
  virtual std::int32_t SetValue(const ZEVO_DataHandleWrapper& message) noexcept = 0;
  std::int32_t SetValue(const char16_t* text) = delete;

  // Writes the command into a command message; kUnsupported (nothing
  // written) without a value.
  virtual std::int32_t WriteToMessage(ZEVO_DataHandleWrapper& command) const noexcept = 0;
  // Hands the command to the handler's operation of its code and stores the
  // result as the status (kFail for codes other than 1 to 6); returns the
  // status. kUnsupported without handler or value.
  virtual std::int32_t Dispatch(IConfigCommandHandler* handler) noexcept = 0;
};

class CConfigCommand final : public IConfigCommand {
 public:
  // A new command: status kCommonOk, no value.
  CConfigCommand(std::uint32_t operation, std::uint32_t key) noexcept : operation_(operation), key_(key) {}

  // A command read from a command message; null when the message carries no
  // key. The status stays kFail when absent; the value is null when its tag
  // is unknown.
  static std::shared_ptr<CConfigCommand> FromMessage(const ZEVO_DataHandleWrapper& command) noexcept;

  std::uint32_t GetKey() const noexcept override { return key_; }
  std::uint32_t GetOperation() const noexcept override { return operation_; }
  std::uint32_t GetValueType() const noexcept override { return value_ ? value_->GetType() : kTagNone; }
  std::int32_t GetStatus() const noexcept override { return status_; }
  std::int32_t SetStatus(std::int32_t status) noexcept override {
    status_ = status;
    return kCommonOk;
  }

  std::int32_t GetValue(std::u16string& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::uint64_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::uint32_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::uint16_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::uint8_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::int64_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::int32_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::int16_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(std::int8_t& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(bool& out) const noexcept override { return Get(out); }
  std::int32_t GetValue(ZEVO_DataHandleWrapper& out) const noexcept override { return Get(out); }

  std::int32_t SetValue(const std::u16string& value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::uint64_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::uint32_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::uint16_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::uint8_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::int64_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::int32_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::int16_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(std::int8_t value) noexcept override { return Set(value); }
  std::int32_t SetValue(bool value) noexcept override { return Set(value); }
  std::int32_t SetValue(const ZEVO_DataHandleWrapper& message) noexcept override { return Set(message); }
  using IConfigCommand::SetValue;

  std::int32_t WriteToMessage(ZEVO_DataHandleWrapper& command) const noexcept override;
  std::int32_t Dispatch(IConfigCommandHandler* handler) noexcept override;

  const std::shared_ptr<CConfigValue>& Value() const noexcept { return value_; }

 private:
  template <class T>
  std::int32_t Get(T& out) const noexcept {
    if (!value_) return kUnsupported;
    if (Failed(status_)) return status_;
    return value_->GetValue(out);
  }

  template <class T>
  std::int32_t Set(const T& value) noexcept {
    if (!value_) {
      value_ = CreateConfigValue(TagOf<T>());
      if (!value_) return kUnsupported;
    }
    return value_->SetValue(value);
  }

  std::uint32_t operation_;
  std::uint32_t key_;
  std::int32_t status_ = kCommonOk;
  std::shared_ptr<CConfigValue> value_;
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_COMMAND_H_
