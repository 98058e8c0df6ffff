#include "driver/sessions.h"

#include <iterator>
#include <map>

namespace zevo::driver {

os::ReaderWriterLock g_sessionLock;

namespace {

// Ordered by handle, as the stop paths walk it.
std::map<std::int32_t, ISessionOwner*> g_sessionContexts ZEVO_GUARDED_BY(g_sessionLock);

}  // namespace

void SetSessionOwner(std::int32_t handle, ISessionOwner* owner) {
  g_sessionContexts[handle] = owner;
}

void EraseSessionOwner(std::int32_t handle) noexcept { g_sessionContexts.erase(handle); }

std::size_t EraseSessionsOf(const ISessionOwner* owner) noexcept {
  return std::erase_if(g_sessionContexts, [owner](const auto& entry) { return entry.second == owner; });
}

ISessionOwner* FindSessionOwner(std::int32_t handle) noexcept {
  const auto it = g_sessionContexts.find(handle);
  return it == g_sessionContexts.end() ? nullptr : it->second;
}

bool HasSession(std::int32_t handle) noexcept { return g_sessionContexts.count(handle) != 0; }

}  // namespace zevo::driver
