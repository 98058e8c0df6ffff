#include "engine/tarsk_lib.h"

#include <array>
#include <cstddef>
#include <new>

#include "log/logging.h"
#include "os/system_error.h"
#include "util/file_signature.h"

namespace zevo::engine {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"TarskLib"};

// The table's members in the order of kTkFunctionNames, as untyped slots.
// TkFunctionTable is a standard-layout run of 66 function pointers (its
// header checks the size and the offsets).
void** SlotOf(TkFunctionTable& table, std::size_t index) noexcept { return reinterpret_cast<void**>(&table) + index; }

bool AllBound(const TkFunctionTable& table) noexcept {
  const auto* slots = reinterpret_cast<void* const*>(&table);
  for (std::size_t i = 0; i < kTkFunctionCount; ++i) {
    if (slots[i] == nullptr) return false;
  }
  return true;
}

}  // namespace

TarskLib::TarskLib(const TkFunctionTable& inProcess) noexcept : in_process_(&inProcess) {}

TarskLib::~TarskLib() {
  // os::DynamicLibrary releases a library still loaded (loaded but not
  // ready, or a release the system refused) when it goes.
}

bool TarskLib::Initialize(const std::u16string& directory) noexcept {
  ready_ = false;
  if (in_process_ != nullptr) {
    functions_ = *in_process_;
    ready_ = AllBound(functions_);
    return ready_;
  }
  try {
    const std::u16string fullPath = directory + std::u16string(kEngineFileName);
    const char16_t* paths[] = {fullPath.c_str()};
    if (!util::CheckFilesSignature(paths, 1, nullptr, nullptr)) {
      ZLOG(kLog, logging::kLevelFailure, u"failed to verify tarsk engine: ", fullPath);
      return false;
    }
    // A library that an earlier call left loaded but not ready is given back
    // before the new reference is taken; otherwise it would never be released.
    if (library_.IsLoaded()) Uninitialize();
    functions_ = TkFunctionTable{};
    library_ = os::DynamicLibrary::Load(fullPath);
    if (library_.IsLoaded()) {
      ready_ = getFunctionAddresses();
      return ready_;
    }
    std::u16string error;
    getLastErrorText(error);
    ZLOG(kLog, logging::kLevelFailure, u"TarskLib::Initialize() failed. path = ", fullPath);
    ZLOG(kLog, logging::kLevelFailure, u"error = ", error);
  } catch (const std::bad_alloc&) {
    // No memory for the path: the library stays unloaded.
  }
  return false;
}

bool TarskLib::Uninitialize() noexcept {
  // No engine function may be called through a released library.
  ready_ = false;
  if (in_process_ != nullptr) {
    functions_ = TkFunctionTable{};
    return false;
  }
  if (!library_.IsLoaded()) return false;
  if (library_.Release()) {
    functions_ = TkFunctionTable{};
    return true;
  }
  std::u16string error;
  getLastErrorText(error);
  ZLOG(kLog, logging::kLevelFailure, u"TarskLib::Uninitialize() failed.");
  ZLOG(kLog, logging::kLevelFailure, u"error = ", error);
  return false;
}

bool TarskLib::getFunctionAddresses() noexcept {
  bool all = true;
  for (std::size_t i = 0; i < kTkFunctionCount; ++i) {
    // Every name is looked up, so the log lists every missing one at once.
    all = getFunctionAddress(SlotOf(functions_, i), kTkFunctionNames[i]) && all;
  }
  return all;
}

bool TarskLib::getFunctionAddress(void** slot, const char* name) noexcept {
  *slot = library_.Symbol(name);
  if (*slot != nullptr) return true;
  ZLOG(kLog, logging::kLevelFailure, u"TarskLib::getFunctionAddress(", name != nullptr ? name : "(NULL)", u") failed.");
  return false;
}

void TarskLib::getLastErrorText(std::u16string& text) noexcept {
  try {
    text = os::LastErrorText();
  } catch (const std::bad_alloc&) {
    text.clear();
  }
}

}  // namespace zevo::engine
