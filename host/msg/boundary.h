// Helpers for the C functions: no exception leaves them, and each finds its
// message through the handle table.
#ifndef ZEVO_HOST_MSG_BOUNDARY_H_
#define ZEVO_HOST_MSG_BOUNDARY_H_

#include <cstdint>
#include <new>

#include "handle_table.h"
#include "message.h"
#include "zevo/msg.h"

namespace zevo::msg {

// Runs fn() -> std::int32_t and turns any exception into a result code.
template <class Fn>
std::int32_t Guarded(Fn&& fn) noexcept {
  try {
    return fn();
  } catch (const std::bad_alloc&) {
    return ZEVO_MSG_E_NO_MEMORY;
  } catch (...) {
    return ZEVO_MSG_E_FAIL;
  }
}

// Runs fn(Message&) -> std::int32_t on the message *h names. The message is
// kept alive for the call even if another thread releases the handle.
template <class Fn>
std::int32_t WithMessage(const ZEVO_DataHandle* h, Fn&& fn) noexcept {
  return Guarded([&]() -> std::int32_t {
    if (h == nullptr) return ZEVO_MSG_E_INVALID;
    MessagePtr message = HandleTable::Global().Find(*h);
    if (!message) return ZEVO_MSG_E_FAIL;
    return fn(*message);
  });
}

}  // namespace zevo::msg

#endif  // ZEVO_HOST_MSG_BOUNDARY_H_
