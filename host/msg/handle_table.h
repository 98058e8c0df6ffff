// Maps the 16-byte handles given to callers onto messages.
#ifndef ZEVO_HOST_MSG_HANDLE_TABLE_H_
#define ZEVO_HOST_MSG_HANDLE_TABLE_H_

#include <cstdint>
#include <vector>

#include "sync.h"
#include "value.h"
#include "zevo/data_handle.h"

namespace zevo::msg {

// Each handle names a slot and the slot's generation at the time the handle
// was made, sealed with a magic and a check word. A released slot gets a new
// generation, so stale, zeroed and forged handles are all recognised as
// naming nothing. Each slot holds one reference to its message.
//
// Safe for concurrent use.
class HandleTable {
 public:
  HandleTable() = default;
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  // The table behind the C functions; destroyed when the library unloads.
  static HandleTable& Global();

  // Stores a new reference to `message` and writes its handle to *out.
  // Returns a ZEVO_MSG_* code; may throw std::bad_alloc.
  std::int32_t Insert(MessagePtr message, ZEVO_DataHandle* out) ZEVO_EXCLUDES(mu_);

  // The message named by *handle, or null when the handle names none.
  MessagePtr Find(const ZEVO_DataHandle& handle) const ZEVO_EXCLUDES(mu_);

  // Drops the reference named by *handle. False when it names none.
  bool Release(const ZEVO_DataHandle& handle) ZEVO_EXCLUDES(mu_);

 private:
  struct Slot {
    std::uint32_t generation = 0;
    MessagePtr message;
  };

  // The slot a handle names if it is live, else null.
  const Slot* Lookup(const ZEVO_DataHandle& handle) const ZEVO_REQUIRES_SHARED(mu_);

  mutable host::SharedMutex mu_;
  std::vector<Slot> slots_ ZEVO_GUARDED_BY(mu_);
  // Kept with capacity for every slot, so Release never allocates.
  std::vector<std::uint32_t> free_ ZEVO_GUARDED_BY(mu_);
};

}  // namespace zevo::msg

#endif  // ZEVO_HOST_MSG_HANDLE_TABLE_H_
