#include "plugin/plugin_state.h"

#include <new>

#include "zevo/result.h"

namespace zevo::plugin {

os::RecursiveLock g_lock;
std::atomic<SPluginInterfaceOrganizer*> g_pOrganizer{nullptr};
bool g_bStarted = false;
bool g_bEngineReady = false;
std::uint32_t g_nInterfaceCount = 0;
std::unique_ptr<driver::CEngineTARSK> g_pEngine;
const std::int32_t* g_pMainSessionHandle = nullptr;
driver::PublishedTables g_tables;

std::int32_t EnsureEngineDriver() noexcept {
  if (g_pEngine) return kDriverExists;
  g_bEngineReady = false;
  g_pMainSessionHandle = nullptr;
  try {
    g_pEngine = std::make_unique<driver::CEngineTARSK>(g_pOrganizer.load());
  } catch (...) {
    // No memory, or the system would not create one of the driver's locks.
    return kEngineLoadFailed;
  }
  const std::int32_t initialized = g_pEngine->Initialize();
  if (Failed(initialized)) return initialized;
  // The driver writes the handle's address before it opens the session; it
  // is kept only once the session is open, so that a driver left behind by
  // a failed start is never read through it.
  const std::int32_t* mainSession = nullptr;
  if (Failed(g_pEngine->InitMainSession(&mainSession)) || mainSession == nullptr) {
    return kEngineLoadFailed;
  }
  g_pMainSessionHandle = mainSession;
  g_bEngineReady = true;
  return kOk;
}

void DestroyEngineDriver() noexcept {
  g_pMainSessionHandle = nullptr;
  g_pEngine.reset();
}

void AttachTables(driver::CEngineTARSK& engine) noexcept { engine.SetTables(&g_tables); }

std::int32_t FillEngineTables() noexcept {
  if (!g_pEngine || g_pMainSessionHandle == nullptr) return kEngineLoadFailed;
  driver::CEngineTARSK& engine = *g_pEngine;
  const std::int32_t mainSession = *g_pMainSessionHandle;
  AttachTables(engine);
  // Built aside while scans of objects already out go on reading the
  // tables that are published now.
  std::unique_ptr<driver::EngineTables> fresh(new (std::nothrow) driver::EngineTables());
  if (!fresh) return kFail;
  std::int32_t status = engine.EnumerateItemId(mainSession, fresh->items);
  if (Succeeded(status)) status = engine.EnumerateThreatLevel(mainSession, fresh->threats);
  if (Succeeded(status)) status = engine.EnumerateCompanyIdNameTable(mainSession, fresh->companies);
  // A set read only in part is not published: reports keep the last whole one.
  if (Succeeded(status)) g_tables.Publish(std::move(fresh));
  return status;
}

}  // namespace zevo::plugin
