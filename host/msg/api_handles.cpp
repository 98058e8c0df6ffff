// C functions that make, share, copy and release handles, and those that
// look at or remove whole groups of values.
#include <memory>

#include "boundary.h"
#include "zevo/msg.h"

using zevo::msg::HandleTable;
using zevo::msg::Message;
using zevo::msg::MessagePtr;
using zevo::msg::WithMessage;

int32_t ZEVO_Msg_CreateDataHandle(uint32_t nameId, ZEVO_DataHandle* out) noexcept {
  return zevo::msg::Guarded([&]() -> std::int32_t {
    if (out == nullptr) return ZEVO_MSG_E_INVALID;
    auto message = std::make_shared<Message>(nameId, std::weak_ptr<Message>());
    return HandleTable::Global().Insert(std::move(message), out);
  });
}

int32_t ZEVO_Msg_DestroyDataHandle(ZEVO_DataHandle* h) noexcept {
  return zevo::msg::Guarded([&]() -> std::int32_t {
    if (h == nullptr) return ZEVO_MSG_E_INVALID;
    if (!HandleTable::Global().Release(*h)) return ZEVO_MSG_E_FAIL;
    *h = ZEVO_DataHandle{};
    return ZEVO_MSG_S_OK;
  });
}

int32_t ZEVO_Msg_ShareDataHandle(const ZEVO_DataHandle* h, ZEVO_DataHandle* out) noexcept {
  if (out == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h,
                     [&](Message& message) { return HandleTable::Global().Insert(message.shared_from_this(), out); });
}

int32_t ZEVO_Msg_DuplicateDataHandle(const ZEVO_DataHandle* h, ZEVO_DataHandle* out) noexcept {
  if (out == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h,
                     [&](Message& message) { return HandleTable::Global().Insert(message.Copy(/*parent=*/{}), out); });
}

int32_t ZEVO_Msg_GetNameID(const ZEVO_DataHandle* h, uint32_t* nameId) noexcept {
  if (nameId == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) {
    *nameId = message.name_id();
    return ZEVO_MSG_S_OK;
  });
}

int32_t ZEVO_Msg_GetSizeOf(const ZEVO_DataHandle* h, uint32_t index, uint32_t* count) noexcept {
  if (count == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& message) {
    *count = message.CountOf(index);
    return ZEVO_MSG_S_OK;
  });
}

int32_t ZEVO_Msg_Clear(const ZEVO_DataHandle* h) noexcept {
  return WithMessage(h, [](Message& message) {
    message.Clear();
    return ZEVO_MSG_S_OK;
  });
}

int32_t ZEVO_Msg_Erase(const ZEVO_DataHandle* h, uint32_t index) noexcept {
  return WithMessage(h, [&](Message& message) {
    message.Erase(index);
    return ZEVO_MSG_S_OK;
  });
}
