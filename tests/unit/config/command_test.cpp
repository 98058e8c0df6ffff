#include "config/config_command.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "zevo/result.h"

namespace zevo::config {
namespace {

TEST(ConfigCommand, ValueAndStatusRules) {
  CConfigCommand command(4, 0x10c20001u);
  std::u16string text = u"kept";
  EXPECT_EQ(command.GetValue(text), kUnsupported);  // no value yet
  ZEVO_DataHandleWrapper message(0x70002u);
  EXPECT_EQ(command.WriteToMessage(message), kUnsupported);

  // The first SetValue fixes the type; later ones convert into it.
  ASSERT_EQ(command.SetValue(std::u16string(u"C:\\b\\")), kCommonOk);
  EXPECT_EQ(command.GetValueType(), 11u);
  ASSERT_EQ(command.SetValue(std::int32_t{42}), kCommonOk);
  EXPECT_EQ(command.GetValue(text), kCommonOk);
  EXPECT_EQ(text, u"42");

  // A negative status is the answer to every read; the value stays.
  EXPECT_EQ(command.SetStatus(kFail), kCommonOk);
  std::int64_t number = -3;
  EXPECT_EQ(command.GetValue(number), kFail);
  EXPECT_EQ(number, -3);
  EXPECT_EQ(command.SetStatus(0x20ff0005), kCommonOk);  // positive: not a failure
  EXPECT_EQ(command.GetValue(number), kCommonOk);
  EXPECT_EQ(number, 42);
}

class RecordingHandler final : public IConfigCommandHandler {
 public:
  std::int32_t OnOperation1(IConfigCommand& c) noexcept override { return Note(1, c); }
  std::int32_t OnOperation2(IConfigCommand& c) noexcept override { return Note(2, c); }
  std::int32_t OnOperation3(IConfigCommand& c) noexcept override { return Note(3, c); }
  std::int32_t OnOperation4(IConfigCommand& c) noexcept override { return Note(4, c); }
  std::int32_t OnOperation5(IConfigCommand& c) noexcept override { return Note(5, c); }
  std::int32_t OnOperation6(IConfigCommand& c) noexcept override { return Note(6, c); }
  std::vector<int> calls;

 private:
  std::int32_t Note(int operation, IConfigCommand& command) {
    calls.push_back(operation);
    return static_cast<std::int32_t>(0x20ff0100u + command.GetKey());
  }
};

TEST(ConfigCommand, Dispatch) {
  RecordingHandler handler;
  for (std::uint32_t operation = 0; operation <= 7; ++operation) {
    CConfigCommand command(operation, operation);
    EXPECT_EQ(command.Dispatch(&handler), kUnsupported);  // no value yet
    ASSERT_EQ(command.SetValue(true), kCommonOk);
    EXPECT_EQ(command.Dispatch(nullptr), kUnsupported);
    const std::int32_t expected =
        operation >= 1 && operation <= 6 ? static_cast<std::int32_t>(0x20ff0100u + operation) : kFail;
    EXPECT_EQ(command.Dispatch(&handler), expected);
    EXPECT_EQ(command.GetStatus(), expected);
  }
  EXPECT_EQ(handler.calls, (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace zevo::config
