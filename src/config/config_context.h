// The caller's ZEVO_Context as it travels in a configuration batch: a
// context message (name id 0x20515) holding the context id (0x207d3), and
// nested 0x10002 { 0x2076d, 0x2076e, nested 0x10001 { 0x20641 number,
// 0x20640 wide text, nested 0x10003 { 0x20899, 0x2089a, 0x2089b } } }.
// The block's tail is never serialised.
#ifndef ZEVO_SRC_CONFIG_CONFIG_CONTEXT_H_
#define ZEVO_SRC_CONFIG_CONFIG_CONTEXT_H_

#include <cstdint>

#include "zevo/msg_wrapper.h"
#include "zevo/records.h"

namespace zevo::config {

// Writes `context` into `message` (a context message). Texts end at their
// terminator or at the end of their field, whichever comes first.
std::int32_t WriteContext(const ZEVO_Context& context, ZEVO_DataHandleWrapper& message) noexcept;

// Reads a context message into `context`, which the caller has zeroed.
// Copies at most 36 characters of each narrow text and 127 of the wide
// text, always terminated; parts missing from the message stay as they are.
void ReadContext(const ZEVO_DataHandleWrapper& message, ZEVO_Context& context) noexcept;

}  // namespace zevo::config

#endif  // ZEVO_SRC_CONFIG_CONFIG_CONTEXT_H_
