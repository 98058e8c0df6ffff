// The wire form of values, commands and batches, compared byte for byte
// with messages built by hand from the published layouts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "config/config_batch.h"
#include "config/config_command.h"
#include "config/config_value_bool.h"
#include "config/config_value_complex.h"
#include "config/config_value_factory.h"
#include "config/config_value_int.h"
#include "config/config_value_wstr.h"
#include "config_test_util.h"
#include "zevo/result.h"

namespace zevo::config {
namespace {

using test::Packed;

ZEVO_DataHandleWrapper ValueMessage(const std::function<void(ZEVO_DataHandleWrapper&)>& fill) {
  ZEVO_DataHandleWrapper message(0x70005u);
  fill(message);
  return message;
}

ZEVO_DataHandleWrapper BinaryValue(std::vector<std::uint8_t> bytes) {
  return ValueMessage(
      [&](ZEVO_DataHandleWrapper& m) { m.PutBinary(0x70005, bytes.data(), static_cast<std::uint32_t>(bytes.size())); });
}

TEST(ConfigLayout, ValueMessages) {
  struct Case {
    std::shared_ptr<CConfigValue> value;
    std::uint32_t tag;
    ZEVO_DataHandleWrapper expected;
  };
  auto make = [](std::uint32_t tag, auto datum) {
    auto value = CreateConfigValue(tag);
    EXPECT_EQ(value->SetValue(datum), kCommonOk) << tag;
    return value;
  };
  ZEVO_DataHandleWrapper carried(0x4321u);
  carried.PutUInt32(9, 99);
  Case cases[] = {
      {make(2, true), 2, ValueMessage([](auto& m) { m.PutInt32(0x70005, 1); })},
      {make(3, std::int8_t{-2}), 3, BinaryValue({0xfe})},
      {make(4, std::int16_t{0x1234}), 4, BinaryValue({0x34, 0x12})},
      {make(5, std::int32_t{-5}), 5, ValueMessage([](auto& m) { m.PutInt32(0x70005, -5); })},
      {make(6, std::int64_t{0x0102030405060708}), 6, BinaryValue({8, 7, 6, 5, 4, 3, 2, 1})},
      {make(7, std::uint8_t{200}), 7, BinaryValue({200})},
      {make(8, std::uint16_t{0xfffe}), 8, BinaryValue({0xfe, 0xff})},
      {make(9, std::uint32_t{0xfffffffe}), 9, ValueMessage([](auto& m) { m.PutUInt32(0x70005, 0xfffffffe); })},
      {make(10, std::uint64_t{0x8000000000000001}), 10, BinaryValue({1, 0, 0, 0, 0, 0, 0, 0x80})},
      {make(11, std::u16string(u"D:\\b")), 11, ValueMessage([](auto& m) { m.PutWString(0x70005, u"D:\\b"); })},
      {make(1, carried), 1, ValueMessage([&](auto& m) { m.PutUInt32(0x70005, 0x4321), m.PutData(carried); })},
  };
  for (Case& c : cases) {
    EXPECT_EQ(c.value->GetType(), c.tag);
    EXPECT_EQ(Packed(c.value->Message()), Packed(c.expected)) << c.tag;

    // Written into a command: tag under 0x70007, value message nested.
    ZEVO_DataHandleWrapper command(0x70002u), expected(0x70002u);
    ASSERT_EQ(c.value->WriteToMessage(command), kCommonOk);
    expected.PutInt32(0x70007, static_cast<std::int32_t>(c.tag));
    expected.PutData(c.expected);
    EXPECT_EQ(Packed(command), Packed(expected)) << c.tag;

    // And read back by the factory as the same class with the same datum.
    auto back = ReadConfigValue(command);
    ASSERT_NE(back, nullptr) << c.tag;
    EXPECT_EQ(back->GetType(), c.tag);
    EXPECT_EQ(Packed(back->Message()), Packed(c.expected)) << c.tag;
  }
  EXPECT_EQ(CreateConfigValue(0), nullptr);
  EXPECT_EQ(CreateConfigValue(12), nullptr);
}

TEST(ConfigLayout, FactoryRefusesBadCommandMessages) {
  const auto with_tag = [](std::int32_t tag, bool nested) {
    ZEVO_DataHandleWrapper command(0x70002u);
    command.PutInt32(0x70007, tag);
    if (nested) command.PutData(ValueMessage([](auto& m) { m.PutInt32(0x70005, 1); }));
    return command;
  };
  EXPECT_EQ(ReadConfigValue(with_tag(12, true)), nullptr);
  EXPECT_EQ(ReadConfigValue(with_tag(-1, true)), nullptr);
  EXPECT_EQ(ReadConfigValue(with_tag(5, false)), nullptr);
  EXPECT_EQ(ReadConfigValue(ZEVO_DataHandleWrapper(0x70002u)), nullptr);
  // A tag written unsigned is not the documented signed tag.
  ZEVO_DataHandleWrapper unsigned_tag(0x70002u);
  unsigned_tag.PutUInt32(0x70007, 5);
  unsigned_tag.PutData(ValueMessage([](auto& m) { m.PutInt32(0x70005, 1); }));
  EXPECT_EQ(ReadConfigValue(unsigned_tag), nullptr);
  // Tag and datum disagree: a value results, but it reads as nothing.
  auto mismatched = ReadConfigValue(with_tag(6, true));
  ASSERT_NE(mismatched, nullptr);
  std::int64_t number = 3;
  EXPECT_EQ(mismatched->GetValue(number), kUnsupported);
  EXPECT_EQ(number, 3);
}

ZEVO_Context SampleContext() {
  ZEVO_Context context{};
  std::strcpy(context.contextId, "{job-1}");
  std::strcpy(context.block.text1, "first");
  std::strcpy(context.block.text2, "second");
  std::u16string wide = u"wide text";
  std::copy(wide.begin(), wide.end(), context.block.record.text);
  context.block.record.number = 0x11;
  context.block.record.numbers[0] = 0x22;
  context.block.record.numbers[1] = 0x33;
  context.block.record.numbers[2] = 0x44;
  context.block.tail[0] = 0x55;  // copied, never sent
  return context;
}

TEST(ConfigLayout, BatchWithContextAndCommandsInKeyOrder) {
  CConfigBatchCommands batch(SampleContext());
  const std::int32_t setting = 4;
  const bool backup = false;
  ASSERT_EQ(batch.AddCommand(4, 0x12770003u, &setting), kCommonOk);
  ASSERT_EQ(batch.AddCommand(4, 0x10c10000u, &backup), kCommonOk);
  ZEVO_DataHandleWrapper request;
  ASSERT_EQ(batch.WriteToMessage(request), kCommonOk);

  ZEVO_DataHandleWrapper numbers(0x10003u), record(0x10001u), block(0x10002u), context(0x20515u);
  numbers.PutUInt32(0x20899, 0x22), numbers.PutUInt32(0x2089a, 0x33), numbers.PutUInt32(0x2089b, 0x44);
  record.PutUInt32(0x20641, 0x11), record.PutWString(0x20640, u"wide text"), record.PutData(numbers);
  block.PutString(0x2076d, "first", 5), block.PutString(0x2076e, "second", 6), block.PutData(record);
  context.PutString(0x207d3, "{job-1}", 7), context.PutData(block);
  ZEVO_DataHandleWrapper expected(0x70001u);
  expected.PutUInt32(0x70003, 1);
  expected.PutData(context);
  expected.PutData(test::Command(0x10c10000u, 0x20ff0000, 2, 0));
  expected.PutData(test::Command(0x12770003u, 0x20ff0000, 5, 4));

  EXPECT_EQ(Packed(request), Packed(expected));
}

}  // namespace
}  // namespace zevo::config
