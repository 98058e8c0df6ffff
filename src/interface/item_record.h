// Building the host's SPYWARE_ITEM from the engine's TKC_ITEM: the parts of
// the conversion that need no session (texts, numbers, the clean result).
// The company name and threat level are added by the engine interface,
// which knows the session (progress_callback.cpp).
#ifndef ZEVO_SRC_INTERFACE_ITEM_RECORD_H_
#define ZEVO_SRC_INTERFACE_ITEM_RECORD_H_

#include <cstdint>
#include <string_view>

#include "zevo/records.h"

namespace zevo::iface {

// Starts loading the parts of `item` that CopyItemFields reads (its head,
// the start of each text and its tail), so that their cache misses overlap
// with each other and with the lookups that come before the copy.
void PrefetchItem(const TKC_ITEM& item) noexcept;

// Writes every byte of `record`: the size 3960, fields 2 to 16 of `item`
// (each text cut to its capacity minus one and terminated, the presence word
// as a bool), `companyName` cut to 260 characters, threat level and result
// code 0, zero everywhere else. Reads only `item`'s text capacities, never
// past them, whether or not the engine terminated them.
void CopyItemFields(const TKC_ITEM& item, SPYWARE_ITEM& record, std::u16string_view companyName = {}) noexcept;

// The result code of a cleaning report: cleaned with note (bit 1) before
// cleaned (bit 0, or a kind-10 item in state 1); otherwise kept out by the
// host's file check when `cleanFlag` is 1, else not cleaned.
std::int32_t CleanResultCode(const TKC_ITEM& item, std::int32_t cleanFlag) noexcept;

}  // namespace zevo::iface

#endif  // ZEVO_SRC_INTERFACE_ITEM_RECORD_H_
