// The module-wide session lock and session context map: which engine
// session belongs to which owner object, across every driver.
#ifndef ZEVO_SRC_DRIVER_SESSIONS_H_
#define ZEVO_SRC_DRIVER_SESSIONS_H_

#include <cstdint>

#include "driver/session_owner.h"
#include "os/rw_lock.h"

namespace zevo::driver {

// Exclusive to add or remove a session, shared to look one up. Guards the
// session context map and every driver's session name map. May be taken
// under the plug-in's global lock or under an operation lock, never the
// other way round.
extern os::ReaderWriterLock g_sessionLock;

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_SESSIONS_H_
