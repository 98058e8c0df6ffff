// C functions for the packed form.
#include "boundary.h"
#include "zevo/msg.h"

using zevo::msg::Message;
using zevo::msg::WithMessage;

int32_t ZEVO_Msg_GetDataLen(const ZEVO_DataHandle* h, uint32_t* bytes) noexcept {
  if (bytes == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) { return message.PackedSize(bytes); });
}

int32_t ZEVO_Msg_GetStartAddress(const ZEVO_DataHandle* h, const void** p) noexcept {
  if (p == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) { return message.PackedStart(p); });
}

int32_t ZEVO_Msg_Pack(const ZEVO_DataHandle* h) noexcept {
  return WithMessage(h, [](Message& message) { return message.Pack(); });
}

int32_t ZEVO_Msg_Load(const ZEVO_DataHandle* h, const void* bytes, uint32_t len) noexcept {
  if (bytes == nullptr && len != 0) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) { return message.Load(static_cast<const std::uint8_t*>(bytes), len); });
}
