#include "config/config_helper.h"

#include <new>

#include "config/config_layout.h"
#include "config/plugin_interface_class.h"

namespace zevo::config {

ZEVO_ConfigHelper::ZEVO_ConfigHelper(SPluginInterfaceOrganizer* organizer, bool read) noexcept
    : organizer_(organizer), batch_(new (std::nothrow) CConfigBatchCommands()), read_(read) {}

ZEVO_ConfigHelper::ZEVO_ConfigHelper(SPluginInterfaceOrganizer* organizer, const ZEVO_Context& context,
                                     bool read) noexcept
    : organizer_(organizer), batch_(new (std::nothrow) CConfigBatchCommands(context)), read_(read) {}

std::int32_t ZEVO_ConfigHelper::AddRead(std::uint32_t key, std::uint32_t tag, std::int32_t* status,
                                        void* value) noexcept {
  if (!batch_ || status == nullptr || value == nullptr) return kUnsupported;
  const std::int32_t added = VisitTagType(tag, kUnsupported, [&]<class T>(T*) {
    return batch_->AddCommand(kOperationRead, key, static_cast<const T*>(value));
  });
  if (Failed(added)) return added;
  try {
    reads_.push_back(ReadRecord{key, kOperationRead, tag, status, 1, 0, value});
  } catch (const std::bad_alloc&) {
    return kUnsupported;
  }
  return added;
}

std::int32_t ZEVO_ConfigHelper::ApplyReply(const ZEVO_DataHandleWrapper& reply) noexcept {
  const CConfigBatchCommands answers(reply);
  for (const ReadRecord& record : reads_) {
    if (record.operation != kOperationRead) continue;
    *record.status = VisitTagType(record.tag, kUnsupported, [&]<class T>(T*) {
      return answers.GetCommandValue(record.key, static_cast<T*>(record.value));
    });
  }
  return kCommonOk;
}

std::int32_t ZEVO_ConfigHelper::Execute() noexcept {
  if (!batch_) return kUnsupported;
  ZEVO_DataHandleWrapper request(std::uint32_t{0});
  ZEVO_DataHandleWrapper reply(std::uint32_t{0});
  std::int32_t result = batch_->WriteToMessage(request);
  if (Failed(result)) return result;

  PluginInterfaceClass repository(organizer_, ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE);
  if (!repository.IsValid()) return kNoConnection;
  result = repository.CallFunc(read_ ? kConfigRepositoryRead : kConfigRepositoryWrite, &request, &reply);
  if (Succeeded(result)) result = ApplyReply(reply);
  return result;
}

}  // namespace zevo::config
