/* The interface objects that cross between host and plug-in (ICommonPluginInterface
 * and the host's progress sink). C11 and C++20.
 *
 * VTABLE LAYOUT. The host is built with the platform vendor's compiler, in
 * whose ABI a virtual destructor takes ONE vtable slot (the "deleting
 * destructor", void* f(unsigned flags), flag bit 0 = free the memory). Under
 * gcc/mingw (Itanium C++ ABI) a virtual destructor takes TWO slots and would
 * shift every later slot. So these interfaces declare NO virtual destructor:
 * slot 0 is an explicit DeleteThis(flags), and the destructor is protected and
 * non-virtual. Rules for every ABI interface here:
 *   - single inheritance only, no data members (the object is one vptr);
 *   - virtual operations in the exact slot order below, never overloaded
 *     (the vendor's compiler groups overloads out of declaration order);
 *   - only scalar and pointer arguments and results;
 *   - every operation noexcept: no exception crosses the boundary.
 * Implementations should be `final` and implement DeleteThis as
 *   void* DeleteThis(std::uint32_t flags) noexcept override {
 *     if (flags & ZEVO_DELETE_FREE) delete this; else this->~Impl();
 *     return this;
 *   }
 * and are destroyed only through DeleteThis.
 *
 * From C, an object is seen as `struct { const Vtbl* vtbl; }` and called as
 * `obj->vtbl->Slot(obj, args...)`. tests/abi/ proves that the slots of the
 * C++ classes and of the C views coincide. */
#ifndef ZEVO_PLUGIN_INTERFACE_H
#define ZEVO_PLUGIN_INTERFACE_H

#include "zevo/platform.h"
#include "zevo/identity.h"

/* Bit 0 of the DeleteThis flags: free the object's memory after destroying
 * it. (Bit 1, "array delete" in the vendor's ABI, is never set by the host.) */
#define ZEVO_DELETE_FREE 1u

/* ------------------------------------------------------------------------- */
/* C views                                                                    */
/* ------------------------------------------------------------------------- */

typedef struct ICommonPluginInterface_C ICommonPluginInterface_C;
typedef struct IProgressSink_C IProgressSink_C;

/* ICommonPluginInterface, slot by slot. */
typedef struct ICommonPluginInterfaceVtbl {
  /* slot 0 */ void* (*DeleteThis)(ICommonPluginInterface_C* self, uint32_t flags);
  /* slot 1 */ uint32_t (*GetModuleID)(ICommonPluginInterface_C* self);
  /* slot 2 */ uint32_t (*GetInterfaceID)(ICommonPluginInterface_C* self);
  /* slot 3 */ void (*GetModuleVersion)(ICommonPluginInterface_C* self, VersionInfo* version);
  /* slot 4 */ int32_t (*CallFunc)(ICommonPluginInterface_C* self, uint32_t function, void* first, void* second);
} ICommonPluginInterfaceVtbl;

struct ICommonPluginInterface_C {
  const ICommonPluginInterfaceVtbl* vtbl;
};

/* The host's progress sink, slot by slot. The plug-in calls only
 * slot 1 and ignores its result; it never deletes the sink. */
typedef struct IProgressSinkVtbl {
  /* slot 0 */ void* (*DeleteThis)(IProgressSink_C* self, uint32_t flags);
  /* slot 1 */ int32_t (*OnProgress)(IProgressSink_C* self, uint32_t event, int32_t c, int32_t d, void* data,
                                     uint64_t cookie);
} IProgressSinkVtbl;

struct IProgressSink_C {
  const IProgressSinkVtbl* vtbl;
};

#define ZEVO_SLOT_OFFSET(n) ((n) * sizeof(void*))

ZEVO_STATIC_ASSERT(sizeof(ICommonPluginInterfaceVtbl) == ZEVO_SLOT_OFFSET(5), "5 slots");
ZEVO_STATIC_ASSERT(offsetof(ICommonPluginInterfaceVtbl, DeleteThis) == ZEVO_SLOT_OFFSET(0), "slot 0");
ZEVO_STATIC_ASSERT(offsetof(ICommonPluginInterfaceVtbl, GetModuleID) == ZEVO_SLOT_OFFSET(1), "slot 1");
ZEVO_STATIC_ASSERT(offsetof(ICommonPluginInterfaceVtbl, GetInterfaceID) == ZEVO_SLOT_OFFSET(2), "slot 2");
ZEVO_STATIC_ASSERT(offsetof(ICommonPluginInterfaceVtbl, GetModuleVersion) == ZEVO_SLOT_OFFSET(3), "slot 3");
ZEVO_STATIC_ASSERT(offsetof(ICommonPluginInterfaceVtbl, CallFunc) == ZEVO_SLOT_OFFSET(4), "slot 4");
ZEVO_STATIC_ASSERT(sizeof(ICommonPluginInterface_C) == sizeof(void*), "one vptr");
ZEVO_STATIC_ASSERT(offsetof(ICommonPluginInterface_C, vtbl) == 0, "vptr at 0");

ZEVO_STATIC_ASSERT(sizeof(IProgressSinkVtbl) == ZEVO_SLOT_OFFSET(2), "2 slots");
ZEVO_STATIC_ASSERT(offsetof(IProgressSinkVtbl, DeleteThis) == ZEVO_SLOT_OFFSET(0), "slot 0");
ZEVO_STATIC_ASSERT(offsetof(IProgressSinkVtbl, OnProgress) == ZEVO_SLOT_OFFSET(1), "slot 1");
ZEVO_STATIC_ASSERT(sizeof(IProgressSink_C) == sizeof(void*), "one vptr");
ZEVO_STATIC_ASSERT(offsetof(IProgressSink_C, vtbl) == 0, "vptr at 0");

#ifndef __cplusplus
/* In C the interface names denote the views, so that declarations shared
 * with C++ (e.g. the exports) read the same in both languages. */
typedef ICommonPluginInterface_C ICommonPluginInterface;
typedef IProgressSink_C IProgressSink;
#endif

/* ------------------------------------------------------------------------- */
/* C++ classes                                                                */
/* ------------------------------------------------------------------------- */
#ifdef __cplusplus

#include <type_traits>

// Abstract base of ITarskEngineInterface and ITarskEngineStatusInterface.
class ICommonPluginInterface {
 public:
  // slot 0: destroys the object; bit 0 of flags (ZEVO_DELETE_FREE) also frees
  // its memory. Returns the object's address.
  virtual void* DeleteThis(std::uint32_t flags) noexcept = 0;
  // slot 1: the module id (10001 for this plug-in).
  virtual std::uint32_t GetModuleID() noexcept = 0;
  // slot 2: the interface id (100011 or 100012).
  virtual std::uint32_t GetInterfaceID() noexcept = 0;
  // slot 3: writes the module version; a null pointer is ignored.
  virtual void GetModuleVersion(VersionInfo* version) noexcept = 0;
  // slot 4: runs function `function` with two untyped arguments.
  virtual std::int32_t CallFunc(std::uint32_t function, void* first, void* second) noexcept = 0;

 protected:
  ICommonPluginInterface() = default;
  ICommonPluginInterface(const ICommonPluginInterface&) = default;
  ICommonPluginInterface& operator=(const ICommonPluginInterface&) = default;
  // Not virtual on purpose (see the top of this file): destroy through
  // DeleteThis.
  ~ICommonPluginInterface() = default;
};

// The host's progress sink, handed to CallFunc function 5.
class IProgressSink {
 public:
  // slot 0: destroys the sink (the host's business; the plug-in never calls it).
  virtual void* DeleteThis(std::uint32_t flags) noexcept = 0;
  // slot 1: one progress report: the event code, the callback's third and
  // fourth arguments, the data pointer (an SPYWARE_ITEM for events 2 and
  // 1001) and the host cookie of function 0. The plug-in ignores the result.
  virtual std::int32_t OnProgress(std::uint32_t event, std::int32_t c, std::int32_t d, void* data,
                                  std::uint64_t cookie) noexcept = 0;

 protected:
  IProgressSink() = default;
  IProgressSink(const IProgressSink&) = default;
  IProgressSink& operator=(const IProgressSink&) = default;
  ~IProgressSink() = default;
};

static_assert(sizeof(ICommonPluginInterface) == sizeof(void*), "interface is one vptr");
static_assert(sizeof(IProgressSink) == sizeof(void*), "interface is one vptr");
static_assert(std::is_polymorphic_v<ICommonPluginInterface> && !std::has_virtual_destructor_v<ICommonPluginInterface>);
static_assert(std::is_polymorphic_v<IProgressSink> && !std::has_virtual_destructor_v<IProgressSink>);

namespace zevo {

// The C view of a C++ interface object (same address, vptr first).
inline ICommonPluginInterface_C* AsCView(ICommonPluginInterface* object) noexcept {
  return reinterpret_cast<ICommonPluginInterface_C*>(object);
}
inline IProgressSink_C* AsCView(IProgressSink* object) noexcept { return reinterpret_cast<IProgressSink_C*>(object); }

}  // namespace zevo

#endif /* __cplusplus */

#endif /* ZEVO_PLUGIN_INTERFACE_H */
