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
driver::EngineTables g_tables;

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

void AttachTables(driver::CEngineTARSK& engine) noexcept {
  engine.SetItemTable(&g_tables.items);
  engine.SetThreatTable(&g_tables.threats);
  engine.SetCompanyTable(&g_tables.companies);
}

std::int32_t FillEngineTables() noexcept {
  if (!g_pEngine || g_pMainSessionHandle == nullptr) return kEngineLoadFailed;
  driver::CEngineTARSK& engine = *g_pEngine;
  const std::int32_t mainSession = *g_pMainSessionHandle;

  std::int32_t status = engine.EnumerateItemId(mainSession, g_tables.items);
  engine.SetItemTable(&g_tables.items);
  if (Failed(status)) return status;
  status = engine.EnumerateThreatLevel(mainSession, g_tables.threats);
  engine.SetThreatTable(&g_tables.threats);
  if (Failed(status)) return status;
  status = engine.EnumerateCompanyIdNameTable(mainSession, g_tables.companies);
  engine.SetCompanyTable(&g_tables.companies);
  return status;
}

}  // namespace zevo::plugin
