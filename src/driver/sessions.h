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

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_SESSIONS_H_
