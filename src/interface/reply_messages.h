// The messages of the query functions 8282 and 8283 as the plug-in reads and
// writes them: the request's values, and a reply handed into the host's
// reply block. Layouts: zevo/host_blocks.h.
#ifndef ZEVO_SRC_INTERFACE_REPLY_MESSAGES_H_
#define ZEVO_SRC_INTERFACE_REPLY_MESSAGES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zevo/data_handle.h"

namespace zevo::iface {

// A second reference to the request message of a request block: the block's
// handle may be zeroed, forged or destroyed, in which case this one names no
// message and every read fails. Destroyed on scope exit.
class RequestMessage {
 public:
  // REQUIRES: `block` points at a request block of the host (not null).
  explicit RequestMessage(const void* block) noexcept;
  ~RequestMessage();
  RequestMessage(const RequestMessage&) = delete;
  RequestMessage& operator=(const RequestMessage&) = delete;

  // The query code; 0 when absent or not a signed 32-bit value.
  std::int32_t QueryCode() const noexcept;
  // Every value under the company id index in order; a value that is not a
  // signed 32-bit one reads as 0, which names no company. Throws
  // std::bad_alloc.
  std::vector<std::int32_t> CompanyIds() const;
  // Every value under the company name index in order; a value that is not
  // a wide string, or that does not read back at the length first given,
  // reads as empty, which names no company. Throws std::bad_alloc.
  std::vector<std::u16string> CompanyNames() const;

 private:
  std::uint32_t CountOf(std::uint32_t index) const noexcept;
  std::u16string NameAt(std::uint32_t position) const;

  ZEVO_DataHandle handle_{};
};

// The plug-in's own reply message (name id 65542), destroyed on scope exit.
class ReplyMessage {
 public:
  ReplyMessage() noexcept;
  ~ReplyMessage();
  ReplyMessage(const ReplyMessage&) = delete;
  ReplyMessage& operator=(const ReplyMessage&) = delete;

  const ZEVO_DataHandle& Handle() const noexcept { return handle_; }
  bool Valid() const noexcept;

  // Appends in order; false when the message library refused a value (the
  // reply is then unusable: its values are read back by position).
  bool PutName(std::u16string_view name) noexcept;
  bool PutIds(const std::vector<std::int32_t>& ids) noexcept;
  bool PutStatus() noexcept;
  void Clear() noexcept;

 private:
  ZEVO_DataHandle handle_{};
};

// True when the reply block's data handle already names a live message,
// which a delivery would overwrite and so leak or cut off from the host.
// REQUIRES: `block` points at a reply block of the host (not null).
bool ReplyBlockOccupied(const void* block) noexcept;

// Writes the reply's name id into the block and a copy of the reply into the
// block's data handle, in that order; the host owns the copy. Writes
// neither field and answers the library's failure when the copy cannot be
// made; 0x20ff0000 otherwise.
// REQUIRES: `block` points at a reply block of the host (not null).
std::int32_t DeliverReply(const ReplyMessage& reply, void* block) noexcept;

}  // namespace zevo::iface

#endif  // ZEVO_SRC_INTERFACE_REPLY_MESSAGES_H_
