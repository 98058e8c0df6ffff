// Declarations of the 66 entry points with the API's function types, so the
// compiler checks every definition; and the guard every definition runs in.
//
// A build may leave entry points out (the loader's fault builds) by defining
// TARSK_OMIT_<name>; their definitions are skipped and nothing is exported.
#ifndef TARSK_EXPORTS_H_
#define TARSK_EXPORTS_H_

#include <exception>
#include <new>
#include <string>

#include "faults.h"
#include "session.h"
#include "status.h"
#include "text.h"
#include "zevo/engine_api.h"

#define TARSK_DECLARE_EXPORT(name) extern "C" ZEVO_DLL_EXPORT zevo::FN_##name name;
ZEVO_TK_FUNCTIONS(TARSK_DECLARE_EXPORT)
#undef TARSK_DECLARE_EXPORT

namespace tarsk {

// Runs body() for entry point `name` of session h: an injected fault
// (TARSK_FAULTS) comes first; no exception leaves.
template <typename Body>
std::int32_t Guarded(const char* name, std::int32_t h, Body&& body) noexcept {
  try {
    if (const auto fault = InjectedFault(name)) {
      return Fail(h, *fault, u"injected fault in " + Utf8ToUtf16(name));
    }
    return body();
  } catch (const std::bad_alloc&) {
    try {
      return Fail(h, kInternal, u"out of memory");
    } catch (...) {
      return kInternal;
    }
  } catch (...) {
    try {
      return Fail(h, kInternal, u"internal failure");
    } catch (...) {
      return kInternal;
    }
  }
}

// Guarded, with the open session h handed to body(Session&).
template <typename Body>
std::int32_t WithSession(const char* name, std::int32_t h, Body&& body) noexcept {
  return Guarded(name, h, [&]() -> std::int32_t {
    const std::shared_ptr<Session> session = FindSession(h);
    if (!session) return Fail(h, kInvalidHandle, u"no such session");
    return body(*session);
  });
}

}  // namespace tarsk

// Defines entry point `name`, whose first parameter is the session handle,
// as one the engine does not implement: it answers kNotSupported.
#define TARSK_NOT_SUPPORTED(name, ...)                                                                       \
  std::int32_t name(std::int32_t h, __VA_ARGS__) {                                                           \
    return tarsk::Guarded(#name, h, [&] { return tarsk::Fail(h, tarsk::kNotSupported, u"not supported"); }); \
  }

#endif  // TARSK_EXPORTS_H_
