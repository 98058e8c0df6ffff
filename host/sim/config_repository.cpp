#include "sim/config_repository.h"

#include "sim/config_wire.h"
#include "zevo/organizer.h"
#include "zevo/result.h"

namespace zevo::hostsim {

ConfigRepository::ConfigRepository(const std::filesystem::path& storeFile) {
  if (!store_.Load(storeFile, load_error_) && load_error_.empty()) load_error_ = "cannot load the store";
}

std::int32_t ConfigRepository::Call(std::uint32_t function, void* input, void* output) noexcept {
  if (function != ZEVO_CONFIG_REPOSITORY_FN_READ && function != ZEVO_CONFIG_REPOSITORY_FN_WRITE) {
    return kNotHandled;
  }
  ++requests_;
  if (input == nullptr || output == nullptr) return kUnsupported;
  try {
    return Answer(*static_cast<const ZEVO_DataHandleWrapper*>(input), *static_cast<ZEVO_DataHandleWrapper*>(output));
  } catch (...) {
    return kFail;
  }
}

std::int32_t ConfigRepository::Answer(const ZEVO_DataHandleWrapper& requestMessage,
                                      ZEVO_DataHandleWrapper& replyMessage) const {
  const std::optional<wire::Request> request = wire::ReadRequest(requestMessage);
  if (!request) return kUnsupported;

  ZEVO_DataHandleWrapper reply(wire::kBatch);
  if (request->mode) reply.PutUInt32(wire::kMode, *request->mode);
  if (request->context) reply.PutData(*request->context);
  for (const wire::RequestCommand& command : request->commands) {
    const StoredValue* stored = store_.Find(command.key);
    const bool answered = command.operation == static_cast<std::int32_t>(wire::kRead) && stored != nullptr &&
                          static_cast<std::int32_t>(stored->tag) == command.tag;
    std::optional<ZEVO_DataHandleWrapper> value = answered ? wire::EncodeValue(*stored) : std::nullopt;
    const std::int32_t rc =
        value ? wire::PutCommand(reply, command.key, command.operation, kCommonOk, command.tag, *value)
              : wire::PutCommand(reply, command.key, command.operation, kStatusNotAnswered, command.tag,
                                 command.valueMessage);
    if (rc < 0) return rc;
  }

  // The reply replaces the content of the caller's message.
  const void* bytes = nullptr;
  std::uint32_t length = 0;
  std::int32_t rc = reply.Pack();
  if (rc >= 0) rc = reply.GetDataLen(&length);
  if (rc >= 0) rc = reply.GetStartAddress(&bytes);
  if (rc >= 0) rc = replyMessage.Load(bytes, length);
  return rc < 0 ? rc : kCommonOk;
}

}  // namespace zevo::hostsim
