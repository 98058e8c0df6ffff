// C++ objects driven by the plain-C host of vtable_host.c: proves that the
// slots gcc/clang/mingw give ICommonPluginInterface and IProgressSink are the
// slots of the C views (and so of the host compiler's vtables). Record
// layouts are pinned by the static assertions of the headers themselves.
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zevo/abi.h"
#include "vtable_host.h"

namespace {

using Calls = std::vector<std::string>;
using Arguments = std::vector<std::uintptr_t>;
std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// What the slots of a test object received, in call order.
struct CallLog {
  Calls calls;
  std::uint32_t deleteFlags = 0xdead;
  Arguments arguments;  // of the last CallFunc or OnProgress
  int destroyed = 0;
};

// Slot 0 of both interfaces: destroys, and frees too with bit 0 set.
template <typename Object>
void* Delete(Object* object, CallLog* log, std::uint32_t flags) {
  log->calls.push_back("DeleteThis");
  log->deleteFlags = flags;
  if (flags & ZEVO_DELETE_FREE) {
    delete object;
  } else {
    object->~Object();
  }
  return object;
}

class RecordingInterface final : public ICommonPluginInterface {
 public:
  explicit RecordingInterface(CallLog* log) : log_(log) {}
  ~RecordingInterface() { ++log_->destroyed; }

  void* DeleteThis(std::uint32_t flags) noexcept override { return Delete(this, log_, flags); }
  std::uint32_t GetModuleID() noexcept override { return Log("GetModuleID", zevo::kModuleId); }
  std::uint32_t GetInterfaceID() noexcept override { return Log("GetInterfaceID", zevo::kEngineStatusInterfaceId); }
  void GetModuleVersion(VersionInfo* version) noexcept override {
    log_->calls.push_back("GetModuleVersion");
    *version = zevo::kModuleVersion;
  }
  std::int32_t CallFunc(std::uint32_t function, void* first, void* second) noexcept override {
    log_->arguments = {function, Address(first), Address(second)};
    return static_cast<std::int32_t>(Log("CallFunc", static_cast<std::uint32_t>(zevo::kNotHandled)));
  }

 private:
  std::uint32_t Log(const char* slot, std::uint32_t result) {
    log_->calls.push_back(slot);
    return result;
  }
  CallLog* log_;
};

class RecordingSink final : public IProgressSink {
 public:
  explicit RecordingSink(CallLog* log) : log_(log) {}
  ~RecordingSink() { ++log_->destroyed; }

  void* DeleteThis(std::uint32_t flags) noexcept override { return Delete(this, log_, flags); }
  std::int32_t OnProgress(std::uint32_t event, std::int32_t c, std::int32_t d, void* data,
                          std::uint64_t cookie) noexcept override {
    log_->calls.push_back("OnProgress");
    log_->arguments = {event, static_cast<std::uintptr_t>(c), static_cast<std::uintptr_t>(d), Address(data),
                       static_cast<std::uintptr_t>(cookie)};
    return 17;
  }

 private:
  CallLog* log_;
};

TEST(AbiVtable, CHostReachesEachSlotOfTheCommonInterface) {
  CallLog log;
  auto* object = new RecordingInterface(&log);
  int first = 0, second = 0;
  AbiHostReport report{};
  AbiHost_DriveCommon(zevo::AsCView(object), /*function=*/8282, &first, &second, &report);
  EXPECT_EQ(log.calls, (Calls{"GetModuleID", "GetInterfaceID", "GetModuleVersion", "CallFunc"}));
  EXPECT_EQ(report.moduleId, 10001u);
  EXPECT_EQ(report.interfaceId, 100012u);
  EXPECT_EQ(report.version.major, 2u);
  EXPECT_EQ(report.version.minor, 1u);
  EXPECT_EQ(report.version.build, 1248u);
  EXPECT_EQ(report.callResult, static_cast<std::int32_t>(0xe0ff0002u));
  EXPECT_EQ(log.arguments, (Arguments{8282, Address(&first), Address(&second)}));

  // Slot 0 with bit 0 set destroys and frees (ASan would report a leak or a
  // mismatched free otherwise); without it, it only destroys.
  EXPECT_EQ(AbiHost_DeleteCommon(zevo::AsCView(object), ZEVO_DELETE_FREE), static_cast<void*>(object));
  EXPECT_EQ(log.deleteFlags, 1u);
  EXPECT_EQ(log.destroyed, 1);
  alignas(RecordingInterface) unsigned char storage[sizeof(RecordingInterface)];
  object = ::new (storage) RecordingInterface(&log);
  EXPECT_EQ(AbiHost_DeleteCommon(zevo::AsCView(object), /*flags=*/0), static_cast<void*>(storage));
  EXPECT_EQ(log.deleteFlags, 0u);
  EXPECT_EQ(log.destroyed, 2);
}

TEST(AbiVtable, CHostReachesEachSlotOfTheProgressSink) {
  CallLog log;
  auto* sink = new RecordingSink(&log);
  SPYWARE_ITEM item{};
  EXPECT_EQ(AbiHost_ReportProgress(zevo::AsCView(sink), /*event=*/1001, /*c=*/-3, /*d=*/1, &item,
                                   /*cookie=*/0x1122334455667788ull),
            17);
  EXPECT_EQ(log.arguments, (Arguments{1001, static_cast<std::uintptr_t>(-3), 1, Address(&item),
                                      static_cast<std::uintptr_t>(0x1122334455667788ull)}));
  EXPECT_EQ(AbiHost_DeleteSink(zevo::AsCView(sink), ZEVO_DELETE_FREE), static_cast<void*>(sink));
  EXPECT_EQ(log.calls, (Calls{"OnProgress", "DeleteThis"}));
  EXPECT_EQ(log.destroyed, 1);
}

}  // namespace
