#include "config/config_batch.h"

#include "config/config_context.h"
#include "config/config_layout.h"

namespace zevo::config {
namespace {

std::shared_ptr<CConfigBatchCommandsImp> NewImp(std::uint32_t mode) noexcept {
  try {
    auto imp = std::make_shared<CConfigBatchCommandsImp>();
    imp->mode = mode;
    return imp;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void ReadCommands(const ZEVO_DataHandleWrapper& reply, CConfigBatchCommandsImp& imp) noexcept {
  std::uint32_t count = 0;
  if (reply.GetSizeOf(kCommandNameId, &count) < 0) return;
  for (std::uint32_t position = 0; position < count; ++position) {
    ZEVO_DataHandleWrapper message(std::uint32_t{0});
    if (reply.GetDataAt(kCommandNameId, position, message) < 0) continue;
    std::shared_ptr<CConfigCommand> command = CConfigCommand::FromMessage(message);
    if (!command) continue;
    try {
      imp.commands.emplace(command->GetKey(), std::move(command));
    } catch (const std::bad_alloc&) {
      return;
    }
  }
}

}  // namespace

CConfigBatchCommands::CConfigBatchCommands() noexcept : imp_(NewImp(kModeWithoutContext)) {}

CConfigBatchCommands::CConfigBatchCommands(const ZEVO_Context& context) noexcept : imp_(NewImp(kModeWithContext)) {
  if (imp_) imp_->context = context;
}

CConfigBatchCommands::CConfigBatchCommands(const ZEVO_DataHandleWrapper& reply) noexcept : imp_(NewImp(0)) {
  if (!imp_) return;
  reply.GetUInt32At(kBatchModeIndex, 0, &imp_->mode);
  ZEVO_DataHandleWrapper context(std::uint32_t{0});
  if (reply.GetDataAt(kContextNameId, 0, context) >= 0) ReadContext(context, imp_->context);
  ReadCommands(reply, *imp_);
}

std::int32_t CConfigBatchCommands::WriteToMessage(ZEVO_DataHandleWrapper& request) const noexcept {
  if (!imp_) return kUnsupported;
  ZEVO_DataHandleWrapper batch(kBatchNameId);
  ZEVO_DataHandleWrapper context(kContextNameId);
  std::int32_t rc = WriteContext(imp_->context, context);
  if (rc >= 0) rc = batch.PutUInt32(kBatchModeIndex, imp_->mode);
  if (rc >= 0) rc = batch.PutData(context);
  if (rc < 0) return rc;
  std::int32_t result = kCommonOk;
  for (const auto& [key, command] : imp_->commands) {
    ZEVO_DataHandleWrapper message(kCommandNameId);
    const std::int32_t written = command->WriteToMessage(message);
    if (written < 0) result = written;
    rc = batch.PutData(message);
    if (rc < 0) return rc;
  }
  request = batch;
  return result;
}

}  // namespace zevo::config
