#include "sim/query_blocks.h"

#include "zevo/result.h"

namespace zevo::hostsim {

QueryRequest::QueryRequest(std::optional<std::int32_t> code) noexcept {
  if (code) message_.PutInt32(kIndexQueryCode, *code);
}

QueryRequest QueryRequest::NamesByIds(const std::vector<std::int32_t>& ids) noexcept {
  QueryRequest request(kQueryNamesByIds);
  for (const std::int32_t id : ids) request.message_.PutInt32(kIndexCompanyId, id);
  return request;
}

QueryRequest QueryRequest::IdsByNames(const std::vector<std::u16string>& names) noexcept {
  QueryRequest request(kQueryIdsByNames);
  for (const std::u16string& name : names) request.message_.PutWString(kIndexCompanyName, name);
  return request;
}

void* QueryRequest::Block() noexcept { return Block(message_.Handle()); }

void* QueryRequest::Block(const ZEVO_DataHandle& handle) noexcept {
  block_.data = handle;
  return &block_;
}

bool QueryReply::Delivered() const noexcept {
  std::uint32_t nameId = 0;
  return Succeeded(ZEVO_Msg_GetNameID(&block_.data, &nameId));
}

std::uint32_t QueryReply::CountOf(std::uint32_t index) const noexcept {
  // A count of 0 comes with success or with a failure, by library.
  std::uint32_t count = 0;
  return Succeeded(ZEVO_Msg_GetSizeOf(&block_.data, index, &count)) ? count : 0;
}

namespace {

template <class T, class Read>
std::vector<std::optional<T>> ReadAll(std::uint32_t count, Read read) {
  std::vector<std::optional<T>> values;
  for (std::uint32_t position = 0; position < count; ++position) {
    T value{};
    values.push_back(Succeeded(read(position, value)) ? std::optional<T>(std::move(value)) : std::nullopt);
  }
  return values;
}

}  // namespace

std::vector<std::optional<std::u16string>> QueryReply::Names() const {
  const ZEVO_DataHandleWrapper reply(block_.data);
  return ReadAll<std::u16string>(CountOf(kIndexCompanyName), [&](std::uint32_t position, std::u16string& name) {
    return reply.GetWStringAt(kIndexCompanyName, position, &name);
  });
}

std::vector<std::optional<std::int32_t>> QueryReply::Ids() const {
  return ReadAll<std::int32_t>(CountOf(kIndexCompanyId), [&](std::uint32_t position, std::int32_t& id) {
    return ZEVO_Msg_GetInt32At(&block_.data, kIndexCompanyId, position, &id);
  });
}

std::vector<std::optional<std::uint32_t>> QueryReply::UnsignedIds() const {
  return ReadAll<std::uint32_t>(CountOf(kIndexCompanyId), [&](std::uint32_t position, std::uint32_t& id) {
    return ZEVO_Msg_GetUInt32At(&block_.data, kIndexCompanyId, position, &id);
  });
}

std::optional<std::int32_t> QueryReply::Status() const noexcept {
  std::int32_t status = 0;
  if (Failed(ZEVO_Msg_GetInt32At(&block_.data, kIndexReplyStatus, 0, &status))) return std::nullopt;
  return status;
}

}  // namespace zevo::hostsim
