// ZEVO_ConfigHelper: runs one batch of reads against the host's
// configuration repository (module 5, interface 51) and delivers each value
// and status into the caller's variables.
//
//   std::int32_t status = zevo::kFail;   // stays so when the run fails
//   bool backup = false;
//   ZEVO_ConfigHelper helper(organizer, context);
//   helper.AddRead(0x10c10000, kTagBool, &status, &backup);
//   helper.Execute();
//
// A stack object of one thread. The variables must outlive Execute.
#ifndef ZEVO_SRC_CONFIG_CONFIG_HELPER_H_
#define ZEVO_SRC_CONFIG_CONFIG_HELPER_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "config/config_batch.h"
#include "config/config_value_factory.h"
#include "zevo/organizer.h"
#include "zevo/records.h"

namespace zevo::config {

class ZEVO_ConfigHelper {
 public:
  // A batch without context (mode 2).
  explicit ZEVO_ConfigHelper(SPluginInterfaceOrganizer* organizer, bool read = true) noexcept;
  // A batch with a copy of the caller's context (mode 1).
  ZEVO_ConfigHelper(SPluginInterfaceOrganizer* organizer, const ZEVO_Context& context, bool read = true) noexcept;

  ZEVO_ConfigHelper(const ZEVO_ConfigHelper&) = delete;
  ZEVO_ConfigHelper& operator=(const ZEVO_ConfigHelper&) = delete;

  // False when the batch could not be made; every AddRead then fails.
  bool Valid() const noexcept { return batch_ != nullptr && batch_->Valid(); }

  // Adds a read of `key` as a value of type `tag` (1 to 11). `value` points
  // at the caller's variable of the tag's type (config_value_factory.h:
  // TagOf); its current contents are sent. The status and value are written
  // by Execute. Negative result: nothing added.
  std::int32_t AddRead(std::uint32_t key, std::uint32_t tag, std::int32_t* status, void* value) noexcept;

  template <ConfigDatum T>
  std::int32_t AddRead(std::uint32_t key, std::int32_t* status, T* value) noexcept {
    return AddRead(key, TagOf<T>(), status, value);
  }

  // Sends the batch (function 8209 for reads, else 8210) and applies the
  // reply. kNoConnection when the repository is not offered; the service's
  // failure as it comes. Statuses are written only when the reply is
  // applied: then each is the read's own result.
  std::int32_t Execute() noexcept;

 private:
  struct ReadRecord {
    std::uint32_t key;
    std::uint32_t operation;
    std::uint32_t tag;
    std::int32_t* status;
    std::uint32_t unused_one;
    std::uint64_t unused_zero;
    void* value;
  };

  std::int32_t ApplyReply(const ZEVO_DataHandleWrapper& reply) noexcept;

  std::vector<ReadRecord> reads_;
  SPluginInterfaceOrganizer* const organizer_;
  std::unique_ptr<CConfigBatchCommands> batch_;
  const bool read_;
};

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_HELPER_H_
