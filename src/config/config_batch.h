// CConfigBatchCommands: the commands of one request to the configuration
// repository, one per key, written in ascending key order, together with
// the caller's context.
//
// Batch message layout (name id 0x70001): index 0x70003 mode (uint32), the
// context message (config_context.h), then one command message per command
// (config_command.h). The repository's reply has the same form.
//
// A batch whose implementation could not be made answers kUnsupported to
// every operation. Not safe for concurrent use.
#ifndef ZEVO_SRC_CONFIG_CONFIG_BATCH_H_
#define ZEVO_SRC_CONFIG_CONFIG_BATCH_H_

#include <cstdint>
#include <map>
#include <memory>
#include <new>

#include "config/config_command.h"
#include "config/config_value_factory.h"
#include "zevo/msg_wrapper.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::config {

class CConfigBatchCommandsImp {
 public:
  virtual ~CConfigBatchCommandsImp() = default;

  ZEVO_Context context{};  // all zero without a context
  std::uint32_t mode = 0;  // kModeWithContext, kModeWithoutContext, or the reply's
  std::map<std::uint32_t, std::shared_ptr<IConfigCommand>> commands;
};

class CConfigBatchCommands {
 public:
  // A batch without context (mode 2).
  CConfigBatchCommands() noexcept;
  // A batch with a copy of the caller's context (mode 1).
  explicit CConfigBatchCommands(const ZEVO_Context& context) noexcept;
  // The batch of a reply: its mode, context and commands. Command messages
  // without a key are skipped; of several commands for one key the first
  // counts. A missing or partial context leaves the rest of the context zero.
  explicit CConfigBatchCommands(const ZEVO_DataHandleWrapper& reply) noexcept;

  virtual ~CConfigBatchCommands() = default;

  CConfigBatchCommands(const CConfigBatchCommands&) = delete;
  CConfigBatchCommands& operator=(const CConfigBatchCommands&) = delete;

  // False when the implementation could not be made.
  bool Valid() const noexcept { return imp_ != nullptr; }

  // Adds a command for `key` whose value has T's type and the variable's
  // current contents. A key already present keeps its earlier command;
  // that, too, answers kCommonOk. kUnsupported without implementation or
  // variable, or when the command cannot be made.
  template <ConfigDatum T>
  std::int32_t AddCommand(std::uint32_t operation, std::uint32_t key, const T* variable) noexcept {
    if (!imp_ || variable == nullptr) return kUnsupported;
    std::shared_ptr<CConfigCommand> command;
    try {
      command = std::make_shared<CConfigCommand>(operation, key);
      command->SetValue(*variable);  // fixes the value's type; result not needed
      imp_->commands.emplace(key, std::move(command));
    } catch (const std::bad_alloc&) {
      return kUnsupported;
    }
    return kCommonOk;
  }

  // The command's value for `key` as a T into *variable (written only on
  // success). kUnsupported without implementation, variable or command; a
  // command's negative status is answered as such.
  template <ConfigDatum T>
  std::int32_t GetCommandValue(std::uint32_t key, T* variable) const noexcept {
    if (!imp_ || variable == nullptr) return kUnsupported;
    const auto found = imp_->commands.find(key);
    if (found == imp_->commands.end()) return kUnsupported;
    return found->second->GetValue(*variable);
  }

  // Writes the batch and makes `request` a reference to it. Every command
  // goes in; one without a value goes in empty and the result is
  // kUnsupported. kUnsupported (nothing written) without implementation.
  std::int32_t WriteToMessage(ZEVO_DataHandleWrapper& request) const noexcept;

  // The implementation, or null.
  const CConfigBatchCommandsImp* Imp() const noexcept { return imp_.get(); }

 private:
  std::shared_ptr<CConfigBatchCommandsImp> imp_;
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_BATCH_H_
