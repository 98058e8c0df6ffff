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
  const std::vector<std::int32_t> ids = request.CompanyIds();
  std::vector<std::u16string> names(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) driver.GetCompanyName(names[i], session, ids[i]);
  return reply.PutNames(names) && reply.PutStatus();
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
