#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "zevo/msg.h"

namespace zevo::msg_test {
namespace {

// One message shared by every thread while each also churns the handle table
// with its own messages: no value of the shared one is lost. (The soak drives
// the library from eight threads but never shares one message.)
TEST(MsgConcurrency, SharedMessageLosesNoValue) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  ZEVO_DataHandle common{};
  ASSERT_EQ(ZEVO_Msg_CreateDataHandle(0, &common), ZEVO_MSG_S_OK);
  auto work = [&](int id) {
    for (int round = 0; round < kRounds; ++round) {
      ZEVO_DataHandle own{};
      ZEVO_Msg_CreateDataHandle(static_cast<std::uint32_t>(id), &own);
      ZEVO_Msg_PutData(&own, &common);
      ZEVO_Msg_PutInt32(&common, static_cast<std::uint32_t>(id), round);
      ZEVO_Msg_Pack(&common);
      ZEVO_Msg_DestroyDataHandle(&own);
    }
  };
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(work, i);
  for (auto& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) {
    std::uint32_t count = 0;
    ASSERT_EQ(ZEVO_Msg_GetSizeOf(&common, static_cast<std::uint32_t>(i), &count), ZEVO_MSG_S_OK);
    EXPECT_EQ(count, static_cast<std::uint32_t>(kRounds));
  }
  ZEVO_Msg_DestroyDataHandle(&common);
}

}  // namespace
}  // namespace zevo::msg_test
