#include "sim/restore_job.h"

#include "sim/engine_object.h"
#include "zevo/identity.h"
#include "zevo/result.h"

namespace zevo::hostsim {

std::int32_t RestoreJobResults::FirstFailure() const noexcept {
  if (!obtained) return kNoEngineInterface;
  for (const std::int32_t result : {open, restore, close}) {
    if (result != kNotRun && Failed(result)) return result;
  }
  return 0;
}

RestoreJobResults RunRestoreJob(const PluginExportTable& exports, const RestoreJobRequest& request) noexcept {
  RestoreJobResults results;
  EngineObject engine(exports);
  results.obtained = static_cast<bool>(engine);
  if (!results.obtained) return results;
  ZEVO_OpenBlock open{request.context, request.callerName.c_str(), request.cookie};
  results.open = engine.Call(kFnOpenSession, &open);
  // The module reads the path up to its terminator: a path with a NUL inside
  // would name another file, so it is refused here.
  const bool usablePath = !request.backupFile.empty() && request.backupFile.find(u'\0') == std::u16string::npos;
  if (Succeeded(results.open)) {
    results.restore =
        usablePath ? engine.Call(kFnRestore, const_cast<char16_t*>(request.backupFile.c_str())) : kUnsupported;
  }
  results.close = engine.Call(kFnCloseSession, nullptr);
  return results;
}

}  // namespace zevo::hostsim
