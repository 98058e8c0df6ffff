// Every export of the real module fed garbage: null pointers, blocks of
// random bytes, forged and destroyed message handles, objects that are not
// the module's. Each call answers a code, nothing crashes, and whatever the
// module handed out is given back (ASan's leak check sees the rest).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "../common/module_host.h"
#include "../common/scoped_env.h"
#include "zevo/host_blocks.h"
#include "zevo/msg_wrapper.h"
#include "zevo/result.h"

namespace zevo::it {
namespace {

enum class Arg { kNull, kRandom, kDestroyed };

constexpr std::uint32_t kUnknown[] = {11, 12, 8281, 8284, 0x7fffffffu, 0xffffffffu};
// Known functions that answer kArgumentMissing for a null first pointer.
constexpr std::uint32_t kNeedArgument[] = {3, 7, 8, 9, 10, 8282, 8283};

std::mt19937& Random() {
  static std::mt19937 random(17);
  return random;
}

// A handle that named a message a moment ago.
ZEVO_DataHandle DestroyedHandle() {
  ZEVO_DataHandle handle{};
  ZEVO_Msg_CreateDataHandle(0, &handle);
  const ZEVO_DataHandle copy = handle;
  ZEVO_Msg_DestroyDataHandle(&handle);
  return copy;
}

// 4 KiB of random bytes ending in zeros, so that a text read from any field
// ends inside the block. Its first two words point into the block itself
// (the pointer fields of the open block and of function 8); the request and
// reply handle fields hold random words (forged) or a destroyed handle.
struct Block {
  explicit Block(Arg kind) {
    for (auto& byte : bytes) byte = static_cast<unsigned char>(Random()());
    std::memset(bytes + 3968, 0, 128);
    void* const self[2] = {bytes, bytes + 2048};
    std::memcpy(bytes, self, sizeof self);
    if (kind == Arg::kDestroyed) {
      const ZEVO_DataHandle handle = DestroyedHandle();
      std::memcpy(RequestDataHandle(bytes), &handle, sizeof handle);
      std::memcpy(ReplyDataHandle(bytes), &handle, sizeof handle);
    }
  }
  // Destroys a reply the module delivered into the block: the host owns it.
  ~Block() { ZEVO_Msg_DestroyDataHandle(ReplyDataHandle(bytes)); }
  alignas(8) unsigned char bytes[4096];
};

// A message wrapper as OnNotify receives it: absent, forged or destroyed.
std::unique_ptr<ZEVO_DataHandleWrapper> Message(Arg kind) {
  if (kind == Arg::kNull) return nullptr;
  auto message = std::make_unique<ZEVO_DataHandleWrapper>();
  ZEVO_DataHandle handle{{Random()(), Random()()}};
  if (kind == Arg::kDestroyed) handle = DestroyedHandle();
  message->Adopt(handle);
  return message;
}

// An object of another module, or of this module with an interface it has
// not got: the module neither calls into it when released nor counts it.
class Foreign final : public ICommonPluginInterface {
 public:
  explicit Foreign(std::uint32_t module) : module_(module) {}
  void* DeleteThis(std::uint32_t) noexcept override {
    ADD_FAILURE() << "deleted by the module";
    return this;
  }
  std::uint32_t GetModuleID() noexcept override { return module_; }
  std::uint32_t GetInterfaceID() noexcept override { return 4242; }
  void GetModuleVersion(VersionInfo*) noexcept override {}
  std::int32_t CallFunc(std::uint32_t, void*, void*) noexcept override { return kNotHandled; }

 private:
  std::uint32_t module_;
};

TEST(Garbage, EveryExportAnswersACodeAndLeavesNothingBehind) {
  const TempFolder roots("garbage-roots");
  const ScopedEnv scanRoots("TARSK_SCAN_ROOTS", roots.path().string());
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  const PluginExportTable& x = m.x();

  // Before a usable services table: a null one, then one with no entries.
  SPluginInterfaceOrganizer empty{};
  for (SPluginInterfaceOrganizer* organizer : {static_cast<SPluginInterfaceOrganizer*>(nullptr), &empty}) {
    EXPECT_EQ(x.Plugin_Interface_Initialize(organizer), static_cast<std::uint32_t>(kOk));
    EXPECT_LT(static_cast<std::int32_t>(x.Plugin_Interface_PostInitialize()), 0);
    EXPECT_EQ(x.Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
    for (const Arg kind : {Arg::kNull, Arg::kRandom, Arg::kDestroyed}) {
      for (std::uint32_t n = 4100; n <= 4120; ++n)
        x.Plugin_Interface_OnNotify(n, Message(kind).get(), Message(kind).get());
    }
    x.Plugin_Interface_PreUninitialize();
  }
  x.Plugin_Interface_GetModuleVersion(nullptr);
  EXPECT_EQ(x.Plugin_Interface_CallFunc(nullptr, kFnOpenSession, nullptr, nullptr), kFail);
  x.Plugin_Interface_Release(nullptr);

  ASSERT_EQ(m.Initialize(), kOk);
  ASSERT_GE(m.PostInitialize(), 0);
  for (const std::uint32_t id : {0u, 1u, kModuleId, kEngineInterfaceId + 2, 0xffffffffu}) {
    EXPECT_EQ(x.Plugin_Interface_QueryInterface(id), nullptr) << id;
  }
  {
    const Object engine(x, kEngineInterfaceId);
    const Object status(x, kEngineStatusInterfaceId);
    ASSERT_TRUE(engine && status);
    std::vector<std::uint32_t> functions(kUnknown, std::end(kUnknown));
    for (std::uint32_t f = 0; f <= 10; ++f) functions.push_back(f);
    functions.insert(functions.end(), {kFnQuery, kFnNameIdByTable, kFnCloseSession});
    for (const Arg kind : {Arg::kNull, Arg::kRandom, Arg::kDestroyed}) {
      for (const std::uint32_t f : functions) {
        SCOPED_TRACE(testing::Message() << "function " << f << ", argument kind " << static_cast<int>(kind));
        // A sink must be an object: the ABI cannot tell random bytes from one.
        if (f == kFnSetProgressSink && kind != Arg::kNull) continue;
        Block first(kind), second(kind);
        void* const a = kind == Arg::kNull ? nullptr : first.bytes;
        void* const b = kind == Arg::kNull ? nullptr : second.bytes;
        const std::int32_t answer = engine.Call(f, a, b);
        if (std::find(std::begin(kUnknown), std::end(kUnknown), f) != std::end(kUnknown)) {
          EXPECT_EQ(answer, kNotHandled);
        } else if (kind == Arg::kNull &&
                   std::find(std::begin(kNeedArgument), std::end(kNeedArgument), f) != std::end(kNeedArgument)) {
          EXPECT_EQ(answer, kArgumentMissing);
        }
        if (f == kFnQuery && kind != Arg::kNull) {
          EXPECT_EQ(answer, kArgumentMissing);  // no query code
        }
        EXPECT_EQ(status.Call(f, a, b), kOk);
      }
      for (std::uint32_t n = 4100; n <= 4120; ++n) {
        SCOPED_TRACE(n);
        const std::int32_t answer = x.Plugin_Interface_OnNotify(n, Message(kind).get(), Message(kind).get());
        if (n < 4104 || (n > 4109 && n < 4116) || n > 4118) {
          EXPECT_EQ(answer, kNotHandled);
        }
      }
      EXPECT_EQ(x.Plugin_Interface_OnNotify(0xffffffffu, nullptr, nullptr), kNotHandled);
    }
    Foreign other(kModuleId + 1), forged(kModuleId);
    for (Foreign* object : {&other, &forged}) {
      EXPECT_EQ(x.Plugin_Interface_CallFunc(object, kFnOpenSession, nullptr, nullptr), kNotHandled);
      x.Plugin_Interface_Release(object);
    }
    // The module is unharmed: its objects still answer.
    std::int32_t result = 0;
    EXPECT_EQ(ReadVersion(engine, kFnGetEngineVersion, result), EngineFolder().filename().u16string());
    EXPECT_EQ(result, kOk);
  }
  EXPECT_EQ(m.host().services().OpenConnections(), 0u);  // the releases counted right
  EXPECT_GE(m.PreUninitialize(), 0);
  EXPECT_EQ(m.Uninitialize(), kOk);
}

}  // namespace
}  // namespace zevo::it
