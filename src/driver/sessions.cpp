#include "driver/sessions.h"

#include <array>
#include <atomic>
#include <iterator>
#include <map>
#include <thread>

namespace zevo::driver {

os::ReaderWriterLock g_sessionLock;

namespace {

// Ordered by handle, as the stop paths walk it.
std::map<std::int32_t, ISessionOwner*> g_sessionContexts ZEVO_GUARDED_BY(g_sessionLock);

// The report path's reader marks. A report announces itself in the slot of
// its session's handle, on a cache line of its own, so that reports of
// different sessions (usually on different threads) share no written line.
// A writer of the map (which holds the session lock exclusively) raises
// g_mapChanging and waits until every slot is empty before it touches the
// map; a report that finds the flag raised leaves its slot and takes the
// shared lock instead.
//
// Both sides write their own mark and then read the other's, sequentially
// consistent: at least one of them sees the other, so either the writer
// waits for the report or the report sees the writer.
//
// 128 bytes: processors that fetch lines in pairs would otherwise still
// couple neighbouring slots.
struct alignas(128) ReaderSlot {
  std::atomic<std::uint32_t> readers{0};
};
constexpr std::size_t kReaderSlots = 16;
std::array<ReaderSlot, kReaderSlots> g_readerSlots;
alignas(128) std::atomic<bool> g_mapChanging{false};

ReaderSlot& SlotOf(std::int32_t handle) noexcept {
  return g_readerSlots[static_cast<std::uint32_t>(handle) % kReaderSlots];
}

// Holds the reports' lock-free lookups off the map while a writer changes
// it. REQUIRES: the session lock held exclusively (one writer at a time).
class MapChange {
 public:
  MapChange() noexcept {
    g_mapChanging.store(true, std::memory_order_seq_cst);
    for (ReaderSlot& slot : g_readerSlots) {
      // A report holds its slot for one map lookup and one counter
      // increment, never across a call: the wait is short.
      while (slot.readers.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
    }
  }
  ~MapChange() { g_mapChanging.store(false, std::memory_order_release); }
  MapChange(const MapChange&) = delete;
  MapChange& operator=(const MapChange&) = delete;
};

ISessionOwner* FindUnlocked(std::int32_t handle) noexcept ZEVO_NO_THREAD_SAFETY_ANALYSIS {
  const auto it = g_sessionContexts.find(handle);
  return it == g_sessionContexts.end() ? nullptr : it->second;
}

}  // namespace

void SetSessionOwner(std::int32_t handle, ISessionOwner* owner) {
  const MapChange change;
  g_sessionContexts[handle] = owner;
}

void EraseSessionOwner(std::int32_t handle) noexcept {
  const MapChange change;
  g_sessionContexts.erase(handle);
}

std::size_t EraseSessionsOf(const ISessionOwner* owner) noexcept {
  const MapChange change;
  return std::erase_if(g_sessionContexts, [owner](const auto& entry) { return entry.second == owner; });
}

ISessionOwner* FindSessionOwner(std::int32_t handle) noexcept { return FindUnlocked(handle); }

bool HasSession(std::int32_t handle) noexcept { return g_sessionContexts.count(handle) != 0; }

ISessionOwner* FindAndPinSessionOwner(std::int32_t handle, OwnerPin pin, void* context) noexcept {
  ReaderSlot& slot = SlotOf(handle);
  slot.readers.fetch_add(1, std::memory_order_seq_cst);
  if (!g_mapChanging.load(std::memory_order_seq_cst)) {
    // No writer can start changing the map until the slot is left again.
    ISessionOwner* owner = FindUnlocked(handle);
    if (owner != nullptr && !pin(owner, context)) owner = nullptr;
    slot.readers.fetch_sub(1, std::memory_order_release);
    return owner;
  }
  slot.readers.fetch_sub(1, std::memory_order_release);
  os::ReaderGuard guard(g_sessionLock);
  ISessionOwner* owner = FindSessionOwner(handle);
  if (owner != nullptr && !pin(owner, context)) owner = nullptr;
  return owner;
}

}  // namespace zevo::driver
