// TarskLib: verifies, loads and binds the engine library tarsk64.dll.
//
// Initialize(folder) checks the code signature of folder + "tarsk64.dll"
// (util::CheckFilesSignature), loads it by full path and binds all 66 entry
// points by name into one typed table, logging every missing name in table
// order. The library is ready only when all 66 were found.
//
// Log lines: module "Plugin TARSK", source file "TarskLib".
// Not safe for concurrent use: its owning driver uses it during set-up and
// teardown only; the table is read (never written) while the library is
// ready.
#ifndef ZEVO_SRC_ENGINE_TARSK_LIB_H_
#define ZEVO_SRC_ENGINE_TARSK_LIB_H_

#include <string>

#include "os/dynamic_library.h"
#include "zevo/engine_api.h"

namespace zevo::engine {

class TarskLib {
 public:
  // Loads nothing.
  TarskLib() noexcept = default;
  // An engine that lives in this process (tests of the driver): Initialize
  // then verifies and loads nothing and makes `inProcess` the table; ready
  // only when every entry of it is set.
  explicit TarskLib(const TkFunctionTable& inProcess) noexcept;
  // Releases a library that Uninitialize did not release (a loaded but not
  // ready library), so no reference outlives its owner.
  virtual ~TarskLib();

  TarskLib(const TarskLib&) = delete;
  TarskLib& operator=(const TarskLib&) = delete;

  // REQUIRES: `directory` ends with the path separator (it is glued to the
  // file name as is). Releases an earlier reference first. Returns IsReady().
  bool Initialize(const std::u16string& directory) noexcept;

  // Releases the library and clears the ready flag. False (nothing logged)
  // when no library is loaded; false with two log lines when the system
  // refuses, the library then stays loaded.
  bool Uninitialize() noexcept;

  // True when the library was verified, loaded and all 66 names were found,
  // until Uninitialize.
  bool IsReady() const noexcept { return ready_; }

  // The bound entry points. REQUIRES: IsReady() for any call through them.
  const TkFunctionTable& Functions() const noexcept { return functions_; }

  // "failed with error <code>: <message>" for the calling thread's last
  // system error, cut at 255 code units.
  static void getLastErrorText(std::u16string& text) noexcept;

 private:
  bool getFunctionAddresses() noexcept;
  bool getFunctionAddress(void** slot, const char* name) noexcept;

  TkFunctionTable functions_{};
  os::DynamicLibrary library_;
  const TkFunctionTable* in_process_ = nullptr;
  bool ready_ = false;
};

}  // namespace zevo::engine

#endif  // ZEVO_SRC_ENGINE_TARSK_LIB_H_
