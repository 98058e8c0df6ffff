// The plug-in's global state: the services table, the start flag, the one
// engine driver and how many interface objects are out, all under g_lock;
// the three engine tables that outlive any one driver.
//
// Lock discipline: g_lock is held while a driver is created, initialised,
// used for the start-up enumerations and destroyed, and never while commands
// are registered with the host, while an interface object is made or
// destroyed, or during CallFunc.
#ifndef ZEVO_SRC_PLUGIN_PLUGIN_STATE_H_
#define ZEVO_SRC_PLUGIN_PLUGIN_STATE_H_

#include <atomic>
#include <cstdint>
#include <memory>

#include "driver/engine_tables.h"
#include "driver/engine_tarsk.h"
#include "os/recursive_lock.h"
#include "zevo/organizer.h"
#include "zevo/thread_annotations.h"

namespace zevo::plugin {

extern os::RecursiveLock g_lock;

// Written by Plugin_Interface_Initialize without the lock (the host calls it
// before anything else); read by every later export.
extern std::atomic<SPluginInterfaceOrganizer*> g_pOrganizer;

extern bool g_bStarted ZEVO_GUARDED_BY(g_lock);
// The current (or last) driver was created, initialised and opened its main
// session. Survives the driver's destruction; the next EnsureEngineDriver
// clears it.
extern bool g_bEngineReady ZEVO_GUARDED_BY(g_lock);
extern std::uint32_t g_nInterfaceCount ZEVO_GUARDED_BY(g_lock);
extern std::unique_ptr<driver::CEngineTARSK> g_pEngine ZEVO_GUARDED_BY(g_lock);
// The main session handle inside g_pEngine. Null unless the current driver
// opened its main session; cleared whenever the driver goes.
extern const std::int32_t* g_pMainSessionHandle ZEVO_GUARDED_BY(g_lock);

// Published whole while the plug-in starts (under g_lock), then read by
// every driver without a lock.
extern driver::PublishedTables g_tables;

// Creates, initialises and opens the main session of the driver when none
// exists. kDriverExists when there is one; kOk when the new one is ready;
// the driver's Initialize failure as it comes, or kEngineLoadFailed — a
// driver that failed stays in g_pEngine, not ready.
std::int32_t EnsureEngineDriver() noexcept ZEVO_REQUIRES(g_lock);

// Destroys the driver (closing its main session) and forgets its handle.
void DestroyEngineDriver() noexcept ZEVO_REQUIRES(g_lock);

// Points the driver at the three global tables.
void AttachTables(driver::CEngineTARSK& engine) noexcept ZEVO_REQUIRES(g_lock);

// Reads the engine's item, threat and company tables through the main
// session into a new set, stopping at the first failure, and publishes the
// set in g_tables only when all three were read.
// kEngineLoadFailed when the driver has no open main session.
std::int32_t FillEngineTables() noexcept ZEVO_REQUIRES(g_lock);

}  // namespace zevo::plugin

#endif  // ZEVO_SRC_PLUGIN_PLUGIN_STATE_H_
