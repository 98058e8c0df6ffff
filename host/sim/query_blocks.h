// The request and reply blocks of functions 8282 and 8283 as the scan
// manager passes them (layout: zevo/host_blocks.h), with real messages of
// the message library in them, and the host's reading of a reply.
#ifndef ZEVO_HOST_SIM_QUERY_BLOCKS_H_
#define ZEVO_HOST_SIM_QUERY_BLOCKS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zevo/host_blocks.h"
#include "zevo/msg_wrapper.h"

namespace zevo::hostsim {

// A request block owning its request message (name id 0).
class QueryRequest {
 public:
  // A message with this query code under 131972, or with none.
  explicit QueryRequest(std::optional<std::int32_t> code) noexcept;
  // Code 11 with the ids under 134076, or code 12 with the names under
  // 133767, in order.
  static QueryRequest NamesByIds(const std::vector<std::int32_t>& ids) noexcept;
  static QueryRequest IdsByNames(const std::vector<std::u16string>& names) noexcept;

  // For requests out of the ordinary (values of another type, say).
  ZEVO_DataHandleWrapper& Message() noexcept { return message_; }
  // The block, its data handle naming the message (or `handle` instead).
  void* Block() noexcept;
  void* Block(const ZEVO_DataHandle& handle) noexcept;

 private:
  ZEVO_DataHandleWrapper message_;
  ZEVO_QueryRequestBlock block_{};
};

// A reply block as the host supplies it (zeroed), and the reply the plug-in
// delivered into it, which this object then owns.
class QueryReply {
 public:
  QueryReply() = default;
  ~QueryReply() { ZEVO_Msg_DestroyDataHandle(&block_.data); }
  QueryReply(const QueryReply&) = delete;
  QueryReply& operator=(const QueryReply&) = delete;

  void* Block() noexcept { return &block_; }
  const ZEVO_QueryReplyBlock& Fields() const noexcept { return block_; }
  // The delivered message's handle (zeroed when none was delivered).
  const ZEVO_DataHandle& Handle() const noexcept { return block_.data; }
  bool Delivered() const noexcept;

  // The values of the delivered message, in order of position; a value of
  // another type reads as nullopt.
  std::uint32_t CountOf(std::uint32_t index) const noexcept;
  std::vector<std::optional<std::u16string>> Names() const;
  std::vector<std::optional<std::int32_t>> Ids() const;           // 8282: signed
  std::vector<std::optional<std::uint32_t>> UnsignedIds() const;  // 8283
  std::optional<std::int32_t> Status() const noexcept;

 private:
  ZEVO_QueryReplyBlock block_{};
};

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_QUERY_BLOCKS_H_
