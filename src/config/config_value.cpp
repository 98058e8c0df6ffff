#include "config/config_value.h"

#include "zevo/result.h"

namespace zevo::config {

CConfigValue::~CConfigValue() = default;

CConfigValue::CConfigValue(std::uint32_t tag) noexcept : tag_(tag), message_(std::uint32_t{0}) {}

CConfigValue::CConfigValue(std::uint32_t tag, const ZEVO_DataHandleWrapper& message) noexcept
    : tag_(tag), message_(message) {}

std::int32_t CConfigValue::GetValue(std::u16string&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::uint64_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::uint32_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::uint16_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::uint8_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::int64_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::int32_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::int16_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(std::int8_t&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(bool&) const noexcept { return kUnsupported; }
std::int32_t CConfigValue::GetValue(ZEVO_DataHandleWrapper&) const noexcept { return kUnsupported; }

std::int32_t CConfigValue::SetValue(const std::u16string&) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::uint64_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::uint32_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::uint16_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::uint8_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::int64_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::int32_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::int16_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(std::int8_t) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(bool) noexcept { return kUnsupported; }
std::int32_t CConfigValue::SetValue(const ZEVO_DataHandleWrapper&) noexcept { return kUnsupported; }

std::int32_t CConfigValue::WriteToMessage(ZEVO_DataHandleWrapper& command) const noexcept {
  if (tag_ == kTagNone) return kUnsupported;
  std::int32_t rc = command.PutInt32(kCommandTagIndex, static_cast<std::int32_t>(tag_));
  if (rc >= 0) rc = command.PutData(message_);
  return rc < 0 ? rc : kCommonOk;
}

}  // namespace zevo::config
