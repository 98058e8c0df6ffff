// The module-wide session lock and session context map: which engine
// session belongs to which owner object, across every driver.
#ifndef ZEVO_SRC_DRIVER_SESSIONS_H_
#define ZEVO_SRC_DRIVER_SESSIONS_H_

#include <cstddef>
#include <cstdint>

#include "driver/session_owner.h"
#include "os/rw_lock.h"
#include "zevo/thread_annotations.h"

namespace zevo::driver {

// Exclusive to add or remove a session, shared to look one up. Guards the
// session context map and every driver's session name map. May be taken
// under the plug-in's global lock or under an operation lock, never the
// other way round.
extern os::ReaderWriterLock g_sessionLock;

// The session context map: engine session handle -> the owner object that
// opened it (null for a driver's main session). Lives in sessions.cpp; these
// are its only accessors. None of them blocks or allocates on lookup.

// Enters (or overwrites) the owner of `handle`. Throws only std::bad_alloc.
void SetSessionOwner(std::int32_t handle, ISessionOwner* owner) ZEVO_REQUIRES(g_sessionLock);
// Erases `handle`; absent handles are ignored.
void EraseSessionOwner(std::int32_t handle) noexcept ZEVO_REQUIRES(g_sessionLock);
// Erases every entry naming `owner`; returns how many there were.
std::size_t EraseSessionsOf(const ISessionOwner* owner) noexcept ZEVO_REQUIRES(g_sessionLock);
// The owner of `handle`, null when absent (or the main session).
ISessionOwner* FindSessionOwner(std::int32_t handle) noexcept ZEVO_REQUIRES_SHARED(g_sessionLock);
// Whether `handle` is in the map at all.
bool HasSession(std::int32_t handle) noexcept ZEVO_REQUIRES_SHARED(g_sessionLock);

// Called with an owner that cannot leave the map while the call lasts, and
// the caller's `context`; it takes whatever hold keeps the owner alive
// afterwards (a reference) and may copy what must be read before the owner
// can leave the map. False when the owner is already on its way out (its
// last reference gone): the owner is then treated as absent. Must be short,
// must not block and must not reach the session lock.
using OwnerPin = bool (*)(ISessionOwner* owner, void* context) noexcept;

// The owner of `handle` for one progress report, pinned with `pin`; null
// (nothing pinned) when absent or not pinned. Does not take the session lock: a report
// only marks a reader slot of its own for the lookup, so reports of
// different sessions on different threads write no common memory. While a
// session is being added or removed it falls back to the shared lock.
// REQUIRES: the calling thread holds the session lock in neither mode.
ISessionOwner* FindAndPinSessionOwner(std::int32_t handle, OwnerPin pin, void* context) noexcept
    ZEVO_EXCLUDES(g_sessionLock);

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_SESSIONS_H_
