#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "zevo/msg.h"

namespace zevo::msg_test {
namespace {

// Each thread builds, packs, reloads and destroys its own messages while the
// others churn the handle table; one message is also shared by all threads.
TEST(MsgConcurrency, IndependentMessagesAndASharedOne) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  ZEVO_DataHandle common{};
  ASSERT_EQ(ZEVO_Msg_CreateDataHandle(0, &common), ZEVO_MSG_S_OK);
  std::atomic<int> failures{0};

  auto work = [&](int id) {
    for (int round = 0; round < kRounds; ++round) {
      ZEVO_DataHandle own{}, item{}, copy{}, ref{};
      bool ok = ZEVO_Msg_CreateDataHandle(static_cast<std::uint32_t>(id), &own) == ZEVO_MSG_S_OK &&
                ZEVO_Msg_CreateDataHandle(9, &item) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_PutInt32(&item, 1, round) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_PutData(&own, &item) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_PutWString(&own, 2, u"text", 4) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_Pack(&own) == ZEVO_MSG_S_OK;
      const void* start = nullptr;
      std::uint32_t len = 0;
      ok = ok && ZEVO_Msg_GetStartAddress(&own, &start) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_GetDataLen(&own, &len) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_DuplicateDataHandle(&own, &copy) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_Load(&copy, start, len) == ZEVO_MSG_S_OK;
      std::int32_t v = -1;
      ok = ok && ZEVO_Msg_GetDataAt(&copy, 9, 0, &ref) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_GetInt32At(&ref, 1, 0, &v) == ZEVO_MSG_S_OK && v == round;

      // The shared message: writers append, readers count and pack.
      ok = ok && ZEVO_Msg_PutInt32(&common, static_cast<std::uint32_t>(id), round) == ZEVO_MSG_S_OK;
      ok = ok && ZEVO_Msg_Pack(&common) == ZEVO_MSG_S_OK;
      ZEVO_Msg_DestroyDataHandle(&ref);
      ZEVO_Msg_DestroyDataHandle(&copy);
      ZEVO_Msg_DestroyDataHandle(&item);
      ZEVO_Msg_DestroyDataHandle(&own);
      if (!ok) failures.fetch_add(1);
    }
  };

  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(work, i);
  for (auto& t : threads) t.join();

  EXPECT_EQ(failures.load(), 0);
  for (int i = 0; i < kThreads; ++i) {
    std::uint32_t count = 0;
    ASSERT_EQ(ZEVO_Msg_GetSizeOf(&common, static_cast<std::uint32_t>(i), &count), ZEVO_MSG_S_OK);
    EXPECT_EQ(count, static_cast<std::uint32_t>(kRounds));
  }
  ZEVO_Msg_DestroyDataHandle(&common);
}

// One thread destroys handles while others use them: calls fail cleanly.
TEST(MsgConcurrency, UseRacingDestroyFailsCleanly) {
  constexpr int kHandles = 200;
  std::vector<ZEVO_DataHandle> handles(kHandles);
  for (auto& h : handles) ASSERT_EQ(ZEVO_Msg_CreateDataHandle(1, &h), ZEVO_MSG_S_OK);
  const std::vector<ZEVO_DataHandle> copies = handles;  // the users' copies

  std::atomic<int> odd_results{0};
  std::thread user([&] {
    for (int pass = 0; pass < 20; ++pass) {
      for (const ZEVO_DataHandle& h : copies) {
        std::int32_t rc = ZEVO_Msg_PutInt32(&h, 1, pass);
        if (rc != ZEVO_MSG_S_OK && rc != ZEVO_MSG_E_FAIL) odd_results.fetch_add(1);
      }
    }
  });
  std::thread destroyer([&] {
    for (auto& h : handles) {
      ZEVO_Msg_DestroyDataHandle(&h);
      ZEVO_DataHandle fresh{};
      if (ZEVO_Msg_CreateDataHandle(2, &fresh) == ZEVO_MSG_S_OK) ZEVO_Msg_DestroyDataHandle(&fresh);
    }
  });
  user.join();
  destroyer.join();
  EXPECT_EQ(odd_results.load(), 0);
  std::uint32_t name = 0;
  for (const ZEVO_DataHandle& h : copies) EXPECT_EQ(ZEVO_Msg_GetNameID(&h, &name), ZEVO_MSG_E_FAIL);
}

}  // namespace
}  // namespace zevo::msg_test
