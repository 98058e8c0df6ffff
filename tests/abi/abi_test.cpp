// C++ objects driven by the plain-C host of vtable_host.c: proves that the
// slots gcc/clang/mingw give ICommonPluginInterface and IProgressSink are the
// slots of the C views (and so of the host compiler's vtables). Record
// layouts are pinned by the static assertions of the headers themselves.
#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "zevo/abi.h"
#include "vtable_host.h"

namespace {

using Call = std::vector<std::uintptr_t>;  // the slot, then its arguments
std::uintptr_t Address(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// What the slots of the test objects received, in call order.
struct CallLog {
  std::vector<Call> calls;
  int destroyed = 0;
};

// Slot 0 of both test objects: destroys, and frees too with bit 0 set.
template <typename Object>
void* Delete(Object* object, CallLog& log, std::uint32_t flags) {
  log.calls.push_back({0, flags});
  if (flags & ZEVO_DELETE_FREE) {
    delete object;
  } else {
    object->~Object();
  }
  return object;
}

class RecordingInterface final : public ICommonPluginInterface {
 public:
  explicit RecordingInterface(CallLog& log) : log_(log) {}
  ~RecordingInterface() { ++log_.destroyed; }

  void* DeleteThis(std::uint32_t flags) noexcept override { return Delete(this, log_, flags); }
  std::uint32_t GetModuleID() noexcept override { return Log({1}, zevo::kModuleId); }
  std::uint32_t GetInterfaceID() noexcept override { return Log({2}, zevo::kEngineStatusInterfaceId); }
  void GetModuleVersion(VersionInfo* version) noexcept override {
    Log({3}, 0);
    *version = zevo::kModuleVersion;
  }
  std::int32_t CallFunc(std::uint32_t function, void* first, void* second) noexcept override {
    return static_cast<std::int32_t>(
        Log({4, function, Address(first), Address(second)}, static_cast<std::uint32_t>(zevo::kNotHandled)));
  }

 private:
  std::uint32_t Log(Call call, std::uint32_t result) {
    log_.calls.push_back(std::move(call));
    return result;
  }
  CallLog& log_;
};

class RecordingSink final : public IProgressSink {
 public:
  explicit RecordingSink(CallLog& log) : log_(log) {}
  ~RecordingSink() { ++log_.destroyed; }

  void* DeleteThis(std::uint32_t flags) noexcept override { return Delete(this, log_, flags); }
  std::int32_t OnProgress(std::uint32_t event, std::int32_t c, std::int32_t d, void* data,
                          std::uint64_t cookie) noexcept override {
    log_.calls.push_back({1, event, static_cast<std::uintptr_t>(c), static_cast<std::uintptr_t>(d), Address(data),
                          static_cast<std::uintptr_t>(cookie)});
    return 17;
  }

 private:
  CallLog& log_;
};

TEST(AbiVtable, CHostReachesEachSlotOfTheCommonInterface) {
  CallLog log;
  auto* object = new RecordingInterface(log);
  int first = 0, second = 0;
  AbiHostReport report{};
  AbiHost_DriveCommon(zevo::AsCView(object), /*function=*/8282, &first, &second, &report);
  EXPECT_EQ(report.moduleId, 10001u);
  EXPECT_EQ(report.interfaceId, 100012u);
  EXPECT_EQ(report.version.major, 2u);
  EXPECT_EQ(report.version.minor, 1u);
  EXPECT_EQ(report.version.build, 1248u);
  EXPECT_EQ(report.callResult, static_cast<std::int32_t>(0xe0ff0002u));
  EXPECT_EQ(AbiHost_DeleteCommon(zevo::AsCView(object), ZEVO_DELETE_FREE), static_cast<void*>(object));
  EXPECT_EQ(log.calls, (std::vector<Call>{{1}, {2}, {3}, {4, 8282, Address(&first), Address(&second)}, {0, 1}}));
  EXPECT_EQ(log.destroyed, 1);
}

TEST(AbiVtable, CHostReachesEachSlotOfTheProgressSink) {
  CallLog log;
  auto* sink = new RecordingSink(log);
  SPYWARE_ITEM item{};
  EXPECT_EQ(AbiHost_ReportProgress(zevo::AsCView(sink), /*event=*/1001, /*c=*/-3, /*d=*/1, &item,
                                   /*cookie=*/0x1122334455667788ull),
            17);
  EXPECT_EQ(AbiHost_DeleteSink(zevo::AsCView(sink), ZEVO_DELETE_FREE), static_cast<void*>(sink));
  EXPECT_EQ(log.calls, (std::vector<Call>{{1, 1001, static_cast<std::uintptr_t>(-3), 1, Address(&item),
                                           static_cast<std::uintptr_t>(0x1122334455667788ull)},
                                          {0, 1}}));
  EXPECT_EQ(log.destroyed, 1);
}

}  // namespace
