#include "interface/reply_messages.h"

#include <array>
#include <cstring>
#include <exception>

#include "zevo/host_blocks.h"
#include "zevo/msg.h"
#include "zevo/result.h"

namespace zevo::iface {

namespace {

// Names up to this length are read without an allocation of their own.
constexpr std::uint32_t kFixedNameChars = 1024;

// The block's handle as a value: host blocks promise no alignment.
ZEVO_DataHandle HandleAt(const void* block, std::size_t offset) noexcept {
  ZEVO_DataHandle handle{};
  std::memcpy(&handle, HostBlockField(block, offset), sizeof handle);
  return handle;
}

}  // namespace

RequestMessage::RequestMessage(const void* block) noexcept {
  const ZEVO_DataHandle hostHandle = HandleAt(block, kRequestDataHandleOffset);
  // A handle that names no message leaves ours zeroed: every read then fails.
  if (Failed(ZEVO_Msg_ShareDataHandle(&hostHandle, &handle_))) handle_ = ZEVO_DataHandle{};
}

RequestMessage::~RequestMessage() { ZEVO_Msg_DestroyDataHandle(&handle_); }

std::int32_t RequestMessage::QueryCode() const noexcept {
  std::int32_t code = 0;
  if (Failed(ZEVO_Msg_GetInt32At(&handle_, kIndexQueryCode, 0, &code))) return 0;
  return code;
}

std::uint32_t RequestMessage::CountOf(std::uint32_t index) const noexcept {
  // Libraries differ in the code they return with a count of 0 (success or
  // "absent"); either way no code but success vouches for the count.
  std::uint32_t count = 0;
  if (Failed(ZEVO_Msg_GetSizeOf(&handle_, index, &count))) return 0;
  return count;
}

std::vector<std::int32_t> RequestMessage::CompanyIds() const {
  const std::uint32_t count = CountOf(kIndexCompanyId);
  std::vector<std::int32_t> ids(count, 0);
  for (std::uint32_t position = 0; position < count; ++position) {
    std::int32_t id = 0;
    if (Succeeded(ZEVO_Msg_GetInt32At(&handle_, kIndexCompanyId, position, &id))) ids[position] = id;
  }
  return ids;
}

std::vector<std::u16string> RequestMessage::CompanyNames() const {
  const std::uint32_t count = CountOf(kIndexCompanyName);
  std::vector<std::u16string> names;
  names.reserve(count);
  for (std::uint32_t position = 0; position < count; ++position) names.push_back(NameAt(position));
  return names;
}

std::u16string RequestMessage::NameAt(std::uint32_t position) const {
  std::uint32_t length = 0;
  if (Failed(ZEVO_Msg_GetWStringAt(&handle_, kIndexCompanyName, position, nullptr, 0, &length)) || length == 0 ||
      length == UINT32_MAX) {  // UINT32_MAX: no buffer of length + 1 can be named
    return {};
  }
  // The second step must find the length of the first: the host may change
  // its message meanwhile, and a shorter or longer read is another name.
  std::uint32_t read = 0;
  if (length <= kFixedNameChars) {
    std::array<char16_t, kFixedNameChars + 1> fixed;
    if (Failed(ZEVO_Msg_GetWStringAt(&handle_, kIndexCompanyName, position, fixed.data(), length + 1, &read)) ||
        read != length) {
      return {};
    }
    return std::u16string(fixed.data(), length);
  }
  std::u16string name;
  try {
    name.resize(length);             // the terminator goes into the string's own spare slot
  } catch (const std::exception&) {  // no memory for it, or beyond max_size()
    return {};
  }
  if (Failed(ZEVO_Msg_GetWStringAt(&handle_, kIndexCompanyName, position, name.data(), length + 1, &read)) ||
      read != length) {
    return {};
  }
  return name;
}

ReplyMessage::ReplyMessage() noexcept {
  if (Failed(ZEVO_Msg_CreateDataHandle(kReplyMessageNameId, &handle_))) handle_ = ZEVO_DataHandle{};
}

ReplyMessage::~ReplyMessage() { ZEVO_Msg_DestroyDataHandle(&handle_); }

bool ReplyMessage::Valid() const noexcept {
  std::uint32_t nameId = 0;
  return Succeeded(ZEVO_Msg_GetNameID(&handle_, &nameId));
}

bool ReplyMessage::PutName(std::u16string_view name) noexcept {
  return Succeeded(
      ZEVO_Msg_PutWString(&handle_, kIndexCompanyName, name.data(), static_cast<std::uint32_t>(name.size())));
}

bool ReplyMessage::PutIds(const std::vector<std::int32_t>& ids) noexcept {
  for (const std::int32_t id : ids) {
    if (Failed(ZEVO_Msg_PutInt32(&handle_, kIndexCompanyId, id))) return false;
  }
  return true;
}

bool ReplyMessage::PutStatus() noexcept { return Succeeded(ZEVO_Msg_PutInt32(&handle_, kIndexReplyStatus, kCommonOk)); }

void ReplyMessage::Clear() noexcept { ZEVO_Msg_Clear(&handle_); }

bool ReplyBlockOccupied(const void* block) noexcept {
  const ZEVO_DataHandle handle = HandleAt(block, kReplyDataHandleOffset);
  std::uint32_t nameId = 0;
  return Succeeded(ZEVO_Msg_GetNameID(&handle, &nameId));
}

std::int32_t DeliverReply(const ReplyMessage& reply, void* block) noexcept {
  ZEVO_DataHandle copy{};
  const std::int32_t duplicated = ZEVO_Msg_DuplicateDataHandle(&reply.Handle(), &copy);
  if (Failed(duplicated)) return duplicated;
  SetReplyNameId(block, kReplyMessageNameId);
  std::memcpy(HostBlockField(block, kReplyDataHandleOffset), &copy, sizeof copy);
  return kCommonOk;
}

}  // namespace zevo::iface
