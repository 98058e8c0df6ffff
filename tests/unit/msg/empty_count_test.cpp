// The module's readers of value counts against a host library that answers
// an index without values with a failure and a count of 0, and against one
// that answers it with a success and a count of 0: both mean "no values".
#include <gtest/gtest.h>

#include <cstdint>

#include "config/config_batch.h"
#include "driver/engine_tables.h"
#include "zevo/msg_wrapper.h"
#include "zevo/result.h"

// Linked with --wrap=ZEVO_Msg_GetSizeOf: every count in this program comes
// through here.
namespace {
bool g_emptyIndexFails = false;
}  // namespace
extern "C" int32_t __real_ZEVO_Msg_GetSizeOf(const ZEVO_DataHandle* h, uint32_t index, uint32_t* count) noexcept;
extern "C" int32_t __wrap_ZEVO_Msg_GetSizeOf(const ZEVO_DataHandle* h, uint32_t index, uint32_t* count) noexcept {
  const int32_t result = __real_ZEVO_Msg_GetSizeOf(h, index, count);
  return g_emptyIndexFails && result >= 0 && *count == 0 ? ZEVO_MSG_E_INVALID : result;
}

namespace zevo {
namespace {

class EmptyCount : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { g_emptyIndexFails = GetParam(); }
  void TearDown() override { g_emptyIndexFails = false; }
};

// A reply without commands answers no read: each caller falls back to its default.
TEST_P(EmptyCount, ConfigReplyWithoutCommands) {
  ZEVO_DataHandleWrapper reply(0x70001u);
  reply.PutUInt32(0x70003, 1);
  const config::CConfigBatchCommands answers(reply);
  std::int32_t value = 5;
  EXPECT_EQ(answers.GetCommandValue(0xc70000, &value), kUnsupported);
  EXPECT_EQ(value, 5);
}

// An empty company table writes nothing and says so (8283 answers 0xe0ff000f).
TEST_P(EmptyCount, CompanyTableWritesAtLeastOneRow) {
  driver::CompanyIdNameTable empty, acme;
  empty.Seal();
  acme.AddRow(7, u"Acme");
  acme.Seal();
  ZEVO_DataHandleWrapper first(0x10006u), second(0x10006u);
  EXPECT_FALSE(empty.WriteToMessage(first.Handle()));
  EXPECT_TRUE(acme.WriteToMessage(second.Handle()));
}

INSTANTIATE_TEST_SUITE_P(HostLibraries, EmptyCount, ::testing::Bool());

}  // namespace
}  // namespace zevo
