#include "sim/config_wire.h"

#include <type_traits>
#include <utility>

namespace zevo::hostsim::wire {
namespace {

std::optional<RequestCommand> ReadCommand(const ZEVO_DataHandleWrapper& message) {
  RequestCommand command{0, 0, 0, ZEVO_DataHandleWrapper(kValue)};
  if (message.GetUInt32At(kKey, 0, &command.key) < 0) return std::nullopt;
  message.GetInt32At(kOperation, 0, &command.operation);
  message.GetInt32At(kTag, 0, &command.tag);
  message.ReadDataAt(kValue, 0, command.valueMessage);
  return command;
}

template <class T>
std::int32_t PutBinary(ZEVO_DataHandleWrapper& message, T datum) {
  return message.PutBinary(kValue, &datum, sizeof datum);
}

std::int32_t PutDatum(ZEVO_DataHandleWrapper& message, const StoredValue& value) {
  const auto* const s = std::get_if<std::int64_t>(&value.datum);
  const auto* const u = std::get_if<std::uint64_t>(&value.datum);
  switch (value.tag) {
    case 2:
      return message.PutInt32(kValue, std::get<bool>(value.datum) ? 1 : 0);
    case 3:
      return PutBinary(message, static_cast<std::int8_t>(*s));
    case 4:
      return PutBinary(message, static_cast<std::int16_t>(*s));
    case 5:
      return message.PutInt32(kValue, static_cast<std::int32_t>(*s));
    case 6:
      return PutBinary(message, *s);
    case 7:
      return PutBinary(message, static_cast<std::uint8_t>(*u));
    case 8:
      return PutBinary(message, static_cast<std::uint16_t>(*u));
    case 9:
      return message.PutUInt32(kValue, static_cast<std::uint32_t>(*u));
    case 10:
      return PutBinary(message, *u);
    case 11:
      return message.PutWString(kValue, std::get<std::u16string>(value.datum));
    default:
      return ZEVO_MSG_E_INVALID;
  }
}

}  // namespace

std::optional<Request> ReadRequest(const ZEVO_DataHandleWrapper& batch) {
  std::uint32_t name_id = 0;
  if (batch.GetNameID(&name_id) < 0 || name_id != kBatch) return std::nullopt;
  Request request;
  std::uint32_t mode = 0;
  if (batch.GetUInt32At(kMode, 0, &mode) >= 0) request.mode = mode;
  ZEVO_DataHandleWrapper context(kContext);
  if (batch.ReadDataAt(kContext, 0, context) >= 0) request.context.emplace(std::move(context));
  std::uint32_t count = 0;
  batch.GetSizeOf(kCommand, &count);
  for (std::uint32_t position = 0; position < count; ++position) {
    ZEVO_DataHandleWrapper message(kCommand);
    if (batch.GetDataAt(kCommand, position, message) < 0) continue;
    if (auto command = ReadCommand(message)) request.commands.push_back(std::move(*command));
  }
  return request;
}

std::optional<ZEVO_DataHandleWrapper> EncodeValue(const StoredValue& value) {
  ZEVO_DataHandleWrapper message(kValue);
  if (PutDatum(message, value) < 0) return std::nullopt;
  return std::optional<ZEVO_DataHandleWrapper>(std::move(message));
}

std::int32_t PutCommand(ZEVO_DataHandleWrapper& reply, std::uint32_t key, std::int32_t operation, std::int32_t status,
                        std::int32_t tag, const ZEVO_DataHandleWrapper& valueMessage) noexcept {
  ZEVO_DataHandleWrapper command(kCommand);
  std::int32_t rc = command.PutInt32(kOperation, operation);
  if (rc >= 0) rc = command.PutUInt32(kKey, key);
  if (rc >= 0) rc = command.PutInt32(kStatus, status);
  if (rc >= 0 && tag != 0) rc = command.PutInt32(kTag, tag);
  if (rc >= 0 && tag != 0) rc = command.PutData(valueMessage);
  if (rc >= 0) rc = reply.PutData(command);
  return rc;
}

}  // namespace zevo::hostsim::wire
