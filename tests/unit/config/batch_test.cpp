#include "config/config_batch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "config/config_context.h"
#include "config_test_util.h"
#include "zevo/result.h"

namespace zevo::config {
namespace {

std::vector<std::uint32_t> Keys(const CConfigBatchCommands& batch) {
  std::vector<std::uint32_t> keys;
  for (const auto& entry : batch.Imp()->commands) keys.push_back(entry.first);
  return keys;
}

// Key order is pinned by ConfigLayout.BatchWithContextAndCommandsInKeyOrder.
TEST(ConfigBatch, FirstCommandPerKeyKept) {
  CConfigBatchCommands batch;
  EXPECT_EQ(batch.Imp()->mode, 2u);
  const std::u16string first = u"first", second = u"second";
  ASSERT_EQ(batch.AddCommand(4, 0x10c20001u, &first), kCommonOk);
  EXPECT_EQ(batch.AddCommand(4, 0x10c20001u, &second), kCommonOk);  // dropped, still success
  EXPECT_EQ(batch.AddCommand(4, 1u, static_cast<const bool*>(nullptr)), kUnsupported);
  std::u16string text;
  EXPECT_EQ(batch.GetCommandValue(0x10c20001u, &text), kCommonOk);
  EXPECT_EQ(text, u"first");
  EXPECT_EQ(batch.GetCommandValue(0x10c20001u, static_cast<bool*>(nullptr)), kUnsupported);
}

TEST(ConfigBatch, ReplyRoundTripKeepsModeContextAndCommands) {
  ZEVO_Context context{};
  std::memset(context.contextId, 'i', sizeof context.contextId);  // no terminator at all
  std::memset(context.alignment, 'x', sizeof context.alignment);  // never read
  std::memset(context.block.text1, 'a', 10);
  std::fill(std::begin(context.block.record.text), std::end(context.block.record.text), u'w');
  context.block.record.numbers[2] = 0xabcdef;
  context.block.tail[5] = 1;
  CConfigBatchCommands batch(context);
  const std::int32_t setting = -9;
  ASSERT_EQ(batch.AddCommand(4, 0x12770003u, &setting), kCommonOk);
  ZEVO_DataHandleWrapper message;
  ASSERT_EQ(batch.WriteToMessage(message), kCommonOk);
  ZEVO_DataHandleWrapper sent;  // the unterminated id goes whole, and nothing past it
  std::uint32_t length = 0;
  ASSERT_EQ(message.GetDataAt(0x20515, 0, sent), ZEVO_MSG_S_OK);
  ASSERT_EQ(sent.GetStringAt(0x207d3, 0, nullptr, 0, &length), ZEVO_MSG_S_OK);
  EXPECT_EQ(length, sizeof context.contextId);

  CConfigBatchCommands reply(message);
  ASSERT_TRUE(reply.Valid());
  EXPECT_EQ(reply.Imp()->mode, 1u);
  const ZEVO_Context& back = reply.Imp()->context;
  EXPECT_EQ(std::string(back.contextId), std::string(36, 'i'));  // cut to 36 and terminated
  EXPECT_EQ(std::string(back.block.text1), std::string(10, 'a'));
  EXPECT_EQ(std::u16string(back.block.record.text), std::u16string(127, u'w'));
  EXPECT_EQ(back.block.record.numbers[2], 0xabcdefu);
  EXPECT_EQ(back.block.tail[5], 0);  // the tail never travels
  std::int32_t value = 0;
  EXPECT_EQ(reply.GetCommandValue(0x12770003u, &value), kCommonOk);
  EXPECT_EQ(value, -9);
}

TEST(ConfigBatch, BadReplies) {
  // No mode, no context, odd commands: whatever can be read is read.
  ZEVO_DataHandleWrapper message(0x70001u);
  message.PutData(test::Command(1, 0x20ff0000, 5, 11));
  message.PutData(test::Command(1, 0x20ff0000, 5, 22));                              // duplicate key: the first counts
  message.PutData(test::Command(2, static_cast<std::int32_t>(0xe0ff0001u), 5, 33));  // negative status
  message.PutData(test::Command(3, 0x20ff0000, 12, 44));                             // unknown tag
  message.PutData(test::Command(4, 0x20ff0000, 2, 55));                              // bool holding 55
  message.PutData(ZEVO_DataHandleWrapper(0x70002u));                                 // empty command message
  CConfigBatchCommands reply(message);
  ASSERT_TRUE(reply.Valid());
  EXPECT_EQ(reply.Imp()->mode, 0u);
  EXPECT_EQ(reply.Imp()->context.contextId[0], '\0');
  std::int32_t value = -1;
  EXPECT_EQ(reply.GetCommandValue(1, &value), kCommonOk);
  EXPECT_EQ(value, 11);
  value = -1;
  EXPECT_EQ(reply.GetCommandValue(2, &value), static_cast<std::int32_t>(0xe0ff0001u));
  EXPECT_EQ(reply.GetCommandValue(3, &value), kUnsupported);
  EXPECT_EQ(reply.GetCommandValue(9, &value), kUnsupported);  // missing
  EXPECT_EQ(value, -1);
  std::uint8_t byte = 0;
  EXPECT_EQ(reply.GetCommandValue(4, &byte), kCommonOk);
  EXPECT_EQ(byte, 1);
  EXPECT_EQ(Keys(reply), (std::vector<std::uint32_t>{1, 2, 3, 4}));

  // A truncated context: what is there is read, the rest stays zero.
  ZEVO_DataHandleWrapper truncated(0x70001u), context(0x20515u), block(0x10002u);
  block.PutString(0x2076d, "only", 4);
  context.PutString(0x207d3, "id", 2), context.PutData(block);
  truncated.PutUInt32(0x70003, 1), truncated.PutData(context);
  CConfigBatchCommands partial(truncated);
  EXPECT_STREQ(partial.Imp()->context.contextId, "id");
  EXPECT_STREQ(partial.Imp()->context.block.text1, "only");
  EXPECT_EQ(partial.Imp()->context.block.record.number, 0u);
  EXPECT_TRUE(partial.Imp()->commands.empty());
}

}  // namespace
}  // namespace zevo::config
