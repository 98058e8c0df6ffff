#include "handle_table.h"

#include <utility>

#include "message.h"
#include "zevo/msg.h"

namespace zevo::msg {
namespace {

// words[0] = magic << 32 | slot index
// words[1] = generation << 32 | check word over slot and generation
constexpr std::uint32_t kHandleMagic = 0x5A4D5348u;
// Far more than any host keeps open; bounds the table's memory.
constexpr std::uint32_t kMaxSlots = 1u << 24;

std::uint32_t CheckWord(std::uint32_t slot, std::uint32_t generation) {
  std::uint32_t x = slot * 0x9E3779B1u ^ generation * 0x85EBCA6Bu ^ 0xC2B2AE35u;
  return x ^ (x >> 15);
}

void MakeHandle(std::uint32_t slot, std::uint32_t generation, ZEVO_DataHandle* out) {
  out->words[0] = (std::uint64_t{kHandleMagic} << 32) | slot;
  out->words[1] = (std::uint64_t{generation} << 32) | CheckWord(slot, generation);
}

// Generation 0 is never live, so a zeroed handle never matches.
std::uint32_t NextGeneration(std::uint32_t generation) { return generation == UINT32_MAX ? 1 : generation + 1; }

}  // namespace

HandleTable& HandleTable::Global() {
  static HandleTable table;
  return table;
}

std::int32_t HandleTable::Insert(MessagePtr message, ZEVO_DataHandle* out) {
  host::WriterLock lock(&mu_);
  std::uint32_t index;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    if (slots_.size() >= kMaxSlots) return ZEVO_MSG_E_NO_MEMORY;
    free_.reserve(slots_.size() + 1);
    slots_.emplace_back();
    index = static_cast<std::uint32_t>(slots_.size() - 1);
  }
  Slot& slot = slots_[index];
  slot.generation = NextGeneration(slot.generation);
  slot.message = std::move(message);
  MakeHandle(index, slot.generation, out);
  return ZEVO_MSG_S_OK;
}

const HandleTable::Slot* HandleTable::Lookup(const ZEVO_DataHandle& handle) const {
  if ((handle.words[0] >> 32) != kHandleMagic) return nullptr;
  const std::uint64_t index = handle.words[0] & 0xFFFFFFFFu;
  const auto generation = static_cast<std::uint32_t>(handle.words[1] >> 32);
  if (index >= slots_.size()) return nullptr;
  const Slot& slot = slots_[index];
  if (!slot.message || slot.generation != generation) return nullptr;
  if ((handle.words[1] & 0xFFFFFFFFu) != CheckWord(static_cast<std::uint32_t>(index), generation)) {
    return nullptr;
  }
  return &slot;
}

MessagePtr HandleTable::Find(const ZEVO_DataHandle& handle) const {
  host::ReaderLock lock(&mu_);
  const Slot* slot = Lookup(handle);
  return slot ? slot->message : nullptr;
}

bool HandleTable::Release(const ZEVO_DataHandle& handle) {
  MessagePtr released;  // the message may die here, outside the table lock
  {
    host::WriterLock lock(&mu_);
    const Slot* slot = Lookup(handle);
    if (!slot) return false;
    const auto index = static_cast<std::size_t>(slot - slots_.data());
    released = std::move(slots_[index].message);
    free_.push_back(static_cast<std::uint32_t>(index));
  }
  return true;
}

}  // namespace zevo::msg
