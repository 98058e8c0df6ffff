// CConfigValue: one typed datum travelling to and from the configuration
// repository inside a configuration command.
//
// Each value keeps its datum in a small value message of its own (name id
// and datum index 0x70005) and converts between its own type and the other
// supported types on request. Every operation answers kCommonOk
// (0x20ff0000) or kUnsupported (0xe0ff0007): not supported by the class, not
// convertible, or no datum. A failed GetValue leaves the output unchanged;
// a failed SetValue leaves the stored datum unchanged.
//
// Values are held through std::shared_ptr. Not safe for concurrent use.
#ifndef ZEVO_SRC_CONFIG_CONFIG_VALUE_H_
#define ZEVO_SRC_CONFIG_CONFIG_VALUE_H_

#include <cstdint>
#include <string>

#include "config/config_layout.h"
#include "zevo/msg_wrapper.h"

namespace zevo::config {

class CConfigValue {
 public:
  virtual ~CConfigValue() = 0;

  CConfigValue(const CConfigValue&) = delete;
  CConfigValue& operator=(const CConfigValue&) = delete;

  // The type tag fixed by the class (ValueTag).
  virtual std::uint32_t GetType() const noexcept final { return tag_; }

  virtual std::int32_t GetValue(std::u16string& out) const noexcept;
  virtual std::int32_t GetValue(std::uint64_t& out) const noexcept;
  virtual std::int32_t GetValue(std::uint32_t& out) const noexcept;
  virtual std::int32_t GetValue(std::uint16_t& out) const noexcept;
  virtual std::int32_t GetValue(std::uint8_t& out) const noexcept;
  virtual std::int32_t GetValue(std::int64_t& out) const noexcept;
  virtual std::int32_t GetValue(std::int32_t& out) const noexcept;
  virtual std::int32_t GetValue(std::int16_t& out) const noexcept;
  virtual std::int32_t GetValue(std::int8_t& out) const noexcept;
  virtual std::int32_t GetValue(bool& out) const noexcept;
  virtual std::int32_t GetValue(ZEVO_DataHandleWrapper& out) const noexcept;

  virtual std::int32_t SetValue(const std::u16string& value) noexcept;
  virtual std::int32_t SetValue(std::uint64_t value) noexcept;
  virtual std::int32_t SetValue(std::uint32_t value) noexcept;
  virtual std::int32_t SetValue(std::uint16_t value) noexcept;
  virtual std::int32_t SetValue(std::uint8_t value) noexcept;
  virtual std::int32_t SetValue(std::int64_t value) noexcept;
  virtual std::int32_t SetValue(std::int32_t value) noexcept;
  virtual std::int32_t SetValue(std::int16_t value) noexcept;
  virtual std::int32_t SetValue(std::int8_t value) noexcept;
  virtual std::int32_t SetValue(bool value) noexcept;
  virtual std::int32_t SetValue(const ZEVO_DataHandleWrapper& message) noexcept;
  // A literal would otherwise pick the bool overload.
  std::int32_t SetValue(const char16_t* text) = delete;

  // Appends the tag (index 0x70007, int32) and a copy of the value message
  // to a command message. kUnsupported for a value without type.
  virtual std::int32_t WriteToMessage(ZEVO_DataHandleWrapper& command) const noexcept final;

  // The value message (name id 0 while no datum was ever stored).
  const ZEVO_DataHandleWrapper& Message() const noexcept { return message_; }

 protected:
  // An empty value message with name id 0.
  explicit CConfigValue(std::uint32_t tag) noexcept;
  // Shares a received value message.
  CConfigValue(std::uint32_t tag, const ZEVO_DataHandleWrapper& message) noexcept;

  // Makes `fresh` (a complete new value message) the stored one.
  void Replace(const ZEVO_DataHandleWrapper& fresh) noexcept { message_ = fresh; }

 private:
  const std::uint32_t tag_;
  ZEVO_DataHandleWrapper message_;
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_VALUE_H_
