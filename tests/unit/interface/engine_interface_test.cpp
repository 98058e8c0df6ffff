#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "interface_fixture.h"
#include "zevo/result.h"

namespace zevo::ifacetest {
namespace {

constexpr std::int32_t kCommonOkCode = static_cast<std::int32_t>(0x20ff0000u);
constexpr std::int32_t kStopCode = static_cast<std::int32_t>(0xe00c000au);
constexpr std::int32_t kMissingCode = static_cast<std::int32_t>(0xe00c0005u);
constexpr std::int32_t kNotHandledCode = static_cast<std::int32_t>(0xe0ff0002u);

// A context whose id fills its whole field without a terminator.
ZEVO_Context UnterminatedContext() {
  ZEVO_Context context;
  std::memset(&context, 0x5a, sizeof context);
  std::memset(context.contextId, 'x', sizeof context.contextId);
  for (std::size_t i = 0; i < sizeof context.block; ++i) {
    reinterpret_cast<unsigned char*>(&context.block)[i] = static_cast<unsigned char>(i * 7);
  }
  return context;
}

TEST_F(EngineInterfaceTest, OpenCopiesTheContextBoundedAndCloseResets) {
  EngineObject object = NewObject();
  const ZEVO_Context context = UnterminatedContext();
  ZEVO_OpenBlock block{&context, "job-1", 0x1122334455667788ull};

  // Settings read through a repository that is not there: defaults, and
  // the result is that of the configuration read.
  EXPECT_EQ(object->CallFunc(0, &block, nullptr), kCommonOkCode);
  const std::int32_t session = object->SessionHandle();
  EXPECT_TRUE(engine_.IsOpen(session));
  EXPECT_EQ(engine_.PatternSource(session), driver_->MainSession());
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(session), object.get());
  EXPECT_EQ(object->HostCookie(), 0x1122334455667788ull);
  EXPECT_EQ(std::string(object->Context().contextId), std::string(36, 'x'));
  // The alignment bytes stay as they were (zero); the block is raw.
  for (unsigned char byte : object->Context().alignment) EXPECT_EQ(byte, 0);
  EXPECT_EQ(std::memcmp(&object->Context().block, &context.block, sizeof context.block), 0);

  EXPECT_EQ(object->CallFunc(1, nullptr, nullptr), static_cast<std::int32_t>(0x200c0000u));
  EXPECT_FALSE(engine_.IsOpen(session));
  EXPECT_EQ(object->SessionHandle(), session);  // kept
  EXPECT_EQ(object->HostCookie(), 0u);
  EXPECT_FALSE(object->BackupDefault());
  EXPECT_TRUE(object->BackupFolder().empty());
  EXPECT_EQ(object->Context().contextId[0], '\0');
  EXPECT_EQ(object->Context().block.tail[0], 0);

  // Opened again without a block: empty caller name, context unchanged.
  EXPECT_EQ(object->CallFunc(0, nullptr, nullptr), kCommonOkCode);
  EXPECT_TRUE(engine_.IsOpen(object->SessionHandle()));
  EXPECT_EQ(object->Context().contextId[0], '\0');
  EXPECT_EQ(object->CallFunc(1, nullptr, nullptr), static_cast<std::int32_t>(0x200c0000u));
}

TEST_F(EngineInterfaceTest, OpenFailureSkipsPatternAndConfiguration) {
  EngineObject object = NewObject();
  engine_.SetStatus("TKInit", -3);
  const std::int32_t result = object->CallFunc(0, nullptr, nullptr);
  EXPECT_EQ(result, MapEngineStatus(-3));
  EXPECT_EQ(engine_.CountCalls("TKReadSpywarePattern"), 1u);  // the main session's only
  EXPECT_EQ(object->ScannerSetting(), -1);                     // configuration not read
}

TEST_F(EngineInterfaceTest, VersionsAndDispatchOfOtherNumbers) {
  EngineObject object = NewObject();
  char16_t buffer[15] = {};
  EXPECT_EQ(object->CallFunc(9, buffer, nullptr), static_cast<std::int32_t>(0x200c0000u));
  EXPECT_EQ(std::u16string(buffer), u"1.234.00");
  EXPECT_EQ(object->CallFunc(10, buffer, nullptr), static_cast<std::int32_t>(0x200c0000u));
  EXPECT_EQ(std::u16string(buffer), u"3.2.0.1024");
  EXPECT_EQ(object->CallFunc(9, nullptr, nullptr), kMissingCode);
  EXPECT_EQ(object->CallFunc(10, nullptr, nullptr), kMissingCode);
  for (std::uint32_t function : {2u, 3u, 4u, 5u, 6u, 7u, 8u, 8282u, 8283u, 11u, 8284u}) {
    EXPECT_EQ(object->CallFunc(function, nullptr, nullptr), kNotHandledCode) << function;
  }
}

TEST_F(EngineInterfaceTest, StopFlagRefusesScanWorkOnly) {
  EngineObject object = NewObject();
  ASSERT_EQ(object->CallFunc(0, nullptr, nullptr), kCommonOkCode);
  static_cast<driver::ISessionOwner&>(*object).SetStopFlag(true);
  for (std::uint32_t function : {0u, 2u, 3u, 4u, 5u, 7u}) {
    EXPECT_TRUE(object->CheckStopFlagByActionId(function));
    EXPECT_EQ(object->CallFunc(function, nullptr, nullptr), kStopCode) << function;
  }
  char16_t buffer[15] = {};
  EXPECT_EQ(object->CallFunc(10, buffer, nullptr), static_cast<std::int32_t>(0x200c0000u));
  for (std::uint32_t function : {6u, 8u, 8282u, 8283u}) {
    EXPECT_FALSE(object->CheckStopFlagByActionId(function));
    EXPECT_NE(object->CallFunc(function, nullptr, nullptr), kStopCode) << function;
  }
  EXPECT_EQ(object->CallFunc(1, nullptr, nullptr), static_cast<std::int32_t>(0x200c0000u));
  EXPECT_EQ(object->CallFunc(0, nullptr, nullptr), kStopCode);  // for the rest of its life
}

TEST_F(EngineInterfaceTest, ReleasedWithSessionOpenLeavesNoContextBehind) {
  EngineObject object = NewObject();
  ASSERT_EQ(object->CallFunc(0, nullptr, nullptr), kCommonOkCode);
  const std::int32_t session = object->SessionHandle();
  ASSERT_EQ(driver::CEngineTARSK::GetSessionContext(session), object.get());
  object.reset();  // the host skipped function 1
  EXPECT_EQ(driver::CEngineTARSK::GetSessionContext(session), nullptr);
}

}  // namespace
}  // namespace zevo::ifacetest
