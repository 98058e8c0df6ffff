// CEngineTARSK: engine sessions, pattern loading, the two version
// properties and the engine's last error.
#include <new>
#include <string>

#include "driver/engine_tarsk.h"
#include "log/logging.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

constexpr logging::Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// The caller identifier every session is opened with.
constexpr char16_t kCallerId[] = u"{3C81E0A9-5D27-4b6f-9E42-A8F1C7D0B365}";
static_assert(std::char_traits<char16_t>::length(kCallerId) == 38);

}  // namespace

std::int32_t CEngineTARSK::OpenSession(std::int32_t* handle, ISessionOwner* owner,
                                       std::string_view callerName) noexcept {
  if (!IsReady()) return kEngineNotReady;
  if (handle == nullptr) return kArgumentMissing;
  const std::int32_t r = Engine().TKInit(kCallerId, kTkInitVersion, handle);
  if (r != 0) {
    return EngineFailure(*handle, u"Failed: TKInit: ret=", r);
  }
  {
    os::WriterGuard guard(g_sessionLock);
    try {
      SetSessionOwner(*handle, owner);
      session_names_[*handle] = std::string(callerName);
      return kOk;
    } catch (const std::bad_alloc&) {
      EraseSessionOwner(*handle);
    }
  }
  // Not recorded, so nobody could ever close it: give it back now.
  Engine().TKQuit(*handle);
  return kFail;
}

std::int32_t CEngineTARSK::CloseSession(std::int32_t handle) noexcept {
  if (!IsReady()) return kEngineNotReady;
  const std::int32_t r = Engine().TKQuit(handle);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: TKQuit: ret=", r);
  }
  os::WriterGuard guard(g_sessionLock);
  EraseSessionOwner(handle);
  session_names_.erase(handle);
  return kOk;
}

std::int32_t CEngineTARSK::LoadPattern(std::int32_t handle, bool shared) noexcept {
  if (!IsReady()) return kEngineNotReady;
  const std::int32_t r = Engine().TKReadSpywarePattern(handle, shared ? main_session_ : 0, 0, 0);
  if (r != 0) {
    return EngineFailure(handle, u"Failed: LoadPattern: ret=", r);
  }
  return kOk;
}

void CEngineTARSK::LogEngineError(std::int32_t handle) noexcept {
  if (!IsReady()) return;
  std::int32_t code = 0;
  char16_t text[kLastErrorCapacity] = {};
  Engine().TKGetLastError(handle, &code, text, kLastErrorCapacity);
  // Whatever the engine wrote, the text ends inside the buffer.
  text[kLastErrorCapacity - 1] = u'\0';
  ZLOG(kLog, logging::kLevelFailure, u"    TARSK error: ", code, u": ", static_cast<const char16_t*>(text));
}

std::int32_t CEngineTARSK::EngineFailure(std::int32_t handle, std::u16string_view failure,
                                         std::int32_t status) noexcept {
  ZLOG(kLog, logging::kLevelFailure, failure, status);
  LogEngineError(handle);
  return MapEngineStatus(status);
}

ISessionOwner* CEngineTARSK::GetSessionContext(std::int32_t handle) noexcept {
  os::ReaderGuard guard(g_sessionLock);
  return FindSessionOwner(handle);
}

void CEngineTARSK::DetachSessionOwner(const ISessionOwner* owner) noexcept {
  if (owner == nullptr) return;
  os::WriterGuard guard(g_sessionLock);
  EraseSessionsOf(owner);
}

std::int32_t CEngineTARSK::GetPatternProperty(char16_t* buffer) noexcept {
  if (!IsReady()) return kEngineNotReady;
  if (buffer == nullptr) return kArgumentMissing;
  const std::int32_t r = Engine().TKGetPatternProperty(main_session_, kPropertyVersion, buffer, kPropertyCapacity);
  if (r != 0) {
    return EngineFailure(main_session_, u"Failed: TKGetPatternProperty: ret=", r);
  }
  return kOk;
}

std::int32_t CEngineTARSK::GetEngineProperty(char16_t* buffer) noexcept {
  if (!IsReady()) return kEngineNotReady;
  if (buffer == nullptr) return kArgumentMissing;
  const std::int32_t r = Engine().TKGetEngineProperty(kPropertyVersion, buffer, kPropertyCapacity);
  if (r != 0) {
    return EngineFailure(0, u"Failed: TKGetEngineProperty: ret=", r);
  }
  return kOk;
}

}  // namespace zevo::driver
