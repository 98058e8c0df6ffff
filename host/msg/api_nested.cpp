// C functions for nested messages.
#include "boundary.h"
#include "zevo/msg.h"

using zevo::msg::HandleTable;
using zevo::msg::Message;
using zevo::msg::MessagePtr;
using zevo::msg::Value;
using zevo::msg::WithMessage;

namespace {

// The nested message at (nameId, position), or null.
MessagePtr NestedAt(const Message& parent, uint32_t nameId, uint32_t position) {
  MessagePtr nested;
  parent.VisitAt(nameId, position, [&](const Value& value) {
    if (const MessagePtr* m = std::get_if<MessagePtr>(&value)) nested = *m;
  });
  return nested;
}

}  // namespace

int32_t ZEVO_Msg_PutData(const ZEVO_DataHandle* h, const ZEVO_DataHandle* nested) noexcept {
  return WithMessage(nested, [&](Message& source) {
    return WithMessage(h, [&](Message& target) { return target.AppendCopyOf(source); });
  });
}

int32_t ZEVO_Msg_GetDataAt(const ZEVO_DataHandle* h, uint32_t nameId, uint32_t position,
                           ZEVO_DataHandle* out) noexcept {
  if (out == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& parent) {
    MessagePtr nested = NestedAt(parent, nameId, position);
    if (!nested) return ZEVO_MSG_E_INVALID;
    return HandleTable::Global().Insert(std::move(nested), out);
  });
}

int32_t ZEVO_Msg_ReadDataAt(const ZEVO_DataHandle* h, uint32_t nameId, uint32_t position,
                            ZEVO_DataHandle* out) noexcept {
  if (out == nullptr) return ZEVO_MSG_E_INVALID;
  return WithMessage(h, [&](Message& parent) {
    MessagePtr nested = NestedAt(parent, nameId, position);
    if (!nested) return ZEVO_MSG_E_INVALID;
    return HandleTable::Global().Insert(nested->Copy(/*parent=*/{}), out);
  });
}
