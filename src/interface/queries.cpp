// ITarskEngineInterface: functions 8282 (names by ids, ids by names) and 8283
// (the whole company table), which the plug-in registered with the host's
// scan manager. Both answer from the driver's company table.
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "interface/reply_messages.h"
#include "interface/tarsk_interface.h"
#include "zevo/host_blocks.h"
#include "zevo/result.h"

namespace zevo::iface {

namespace {

// Looks the request's values up and puts the answers into `reply`, then the
// status value. False when the library refused a value.
bool AnswerNamesByIds(driver::CEngineTARSK& driver, std::int32_t session, const RequestMessage& request,
                      ReplyMessage& reply) {
  // All lookups first, into one buffer, then all puts: the message
  // library's allocations between two lookups would push the company table
  // out of the cache (bench_query measures it).
  const std::vector<std::int32_t> ids = request.CompanyIds();
  std::u16string names;
  std::vector<std::size_t> ends;
  ends.reserve(ids.size());
  std::u16string name;
  for (const std::int32_t id : ids) {
    driver.GetCompanyName(name, session, id);
    names += name;
    ends.push_back(names.size());
  }
  std::size_t begin = 0;
  for (const std::size_t end : ends) {
    if (!reply.PutName(std::u16string_view(names).substr(begin, end - begin))) return false;
    begin = end;
  }
  return reply.PutStatus();
}

bool AnswerIdsByNames(driver::CEngineTARSK& driver, std::int32_t session, const RequestMessage& request,
                      ReplyMessage& reply) {
  const std::vector<std::u16string> names = request.CompanyNames();
  std::vector<std::int32_t> ids;
  driver.GetCompanyIdsByNames(session, names, ids);
  // The driver answers nothing at all when it cannot hold the answers.
  if (ids.size() != names.size()) throw std::bad_alloc();
  return reply.PutIds(ids) && reply.PutStatus();
}

}  // namespace

std::int32_t ITarskEngineInterface::_Query(driver::CEngineTARSK& driver, std::int32_t session, void* request,
                                           void* reply) noexcept {
  if (request == nullptr || reply == nullptr) return kArgumentMissing;
  const RequestMessage message(request);
  const std::int32_t code = message.QueryCode();
  if (code != kQueryNamesByIds && code != kQueryIdsByNames) return kArgumentMissing;
  // The host's message in the block would be lost under the reply.
  if (ReplyBlockOccupied(reply)) return kUnsupported;
  ReplyMessage answer;
  if (!answer.Valid()) return kFail;
  try {
    const bool put = code == kQueryNamesByIds ? AnswerNamesByIds(driver, session, message, answer)
                                              : AnswerIdsByNames(driver, session, message, answer);
    if (!put) return kFail;
  } catch (const std::exception&) {
    return kFail;
  }
  return DeliverReply(answer, reply);
}

std::int32_t ITarskEngineInterface::TarskGetNameIdByTable(const driver::CEngineTARSK& driver, void* /*request*/,
                                                          void* reply) noexcept {
  if (reply == nullptr) return kArgumentMissing;
  if (ReplyBlockOccupied(reply)) return kUnsupported;
  ReplyMessage answer;
  if (!answer.Valid()) return kFail;
  const bool written = driver.WriteCompanyTable(answer.Handle());
  // A table that could not be written whole is answered as an empty one:
  // names and ids are paired by position, so a part would mislead.
  if (!written) answer.Clear();
  const std::int32_t delivered = DeliverReply(answer, reply);
  if (Failed(delivered)) return delivered;
  return written ? kCommonOk : kEmptyReply;
}

}  // namespace zevo::iface
