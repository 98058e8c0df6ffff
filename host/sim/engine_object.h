// EngineObject: one engine interface object (100011) of a started module,
// released through the module when it goes. Move-free: the jobs keep it on
// their stack for the length of one job.
#ifndef ZEVO_HOST_SIM_ENGINE_OBJECT_H_
#define ZEVO_HOST_SIM_ENGINE_OBJECT_H_

#include <cstdint>

#include "sim/progress_recorder.h"
#include "zevo/identity.h"
#include "zevo/plugin_exports.h"
#include "zevo/result.h"

namespace zevo::hostsim {

class EngineObject {
 public:
  explicit EngineObject(const PluginExportTable& exports) noexcept
      : exports_(exports), object_(exports.Plugin_Interface_QueryInterface(kEngineInterfaceId)) {}
  ~EngineObject() { Release(); }
  EngineObject(const EngineObject&) = delete;
  EngineObject& operator=(const EngineObject&) = delete;

  explicit operator bool() const noexcept { return object_ != nullptr; }
  std::int32_t Call(std::uint32_t function, void* first, void* second = nullptr) const noexcept {
    return exports_.Plugin_Interface_CallFunc(object_, function, first, second);
  }
  void Release() noexcept {
    if (object_ != nullptr) exports_.Plugin_Interface_Release(object_);
    object_ = nullptr;
  }

 private:
  const PluginExportTable& exports_;
  ICommonPluginInterface* object_;
};

// The frame of every job on a session: an object, function 0 with `open`,
// function 5 with `sink`, then `work(engine)` when both succeeded, function 1
// whatever function 0 answered (a failing open may have left a session
// open), the release, and at last the sink is sealed. `results` has the
// fields obtained, open, setSink and close.
template <class Results, class Work>
void RunSessionJob(const PluginExportTable& exports, ZEVO_OpenBlock open, ProgressRecorder& sink, Results& results,
                   Work&& work) noexcept {
  {
    EngineObject engine(exports);
    results.obtained = static_cast<bool>(engine);
    if (results.obtained) {
      results.open = engine.Call(kFnOpenSession, &open);
      if (Succeeded(results.open)) {
        results.setSink = engine.Call(kFnSetProgressSink, static_cast<IProgressSink*>(&sink));
        if (Succeeded(results.setSink)) work(engine);
      }
      results.close = engine.Call(kFnCloseSession, nullptr);
      engine.Release();
    }
  }
  sink.Seal();
}

}  // namespace zevo::hostsim

#endif  // ZEVO_HOST_SIM_ENGINE_OBJECT_H_
