#include <gtest/gtest.h>

#include "msg_test_util.h"
#include "zevo/msg.h"

namespace zevo::msg_test {
namespace {

// Every call that takes a handle, made with `h`; returns how many failed
// with `expected`.
int CountFailures(const ZEVO_DataHandle* h, std::int32_t expected) {
  ZEVO_DataHandle out{};
  std::int32_t i = 0;
  std::uint32_t u = 0;
  const void* p = nullptr;
  char16_t wbuf[4];
  char buf[4];
  const unsigned char packed[16] = {};
  const std::int32_t results[] = {
      ZEVO_Msg_ShareDataHandle(h, &out),
      ZEVO_Msg_DuplicateDataHandle(h, &out),
      ZEVO_Msg_PutInt32(h, 1, 1),
      ZEVO_Msg_PutUInt32(h, 1, 1),
      ZEVO_Msg_PutWString(h, 1, u"a", 1),
      ZEVO_Msg_PutString(h, 1, "a", 1),
      ZEVO_Msg_PutBinary(h, 1, "a", 1),
      ZEVO_Msg_GetInt32At(h, 1, 0, &i),
      ZEVO_Msg_GetUInt32At(h, 1, 0, &u),
      ZEVO_Msg_GetWStringAt(h, 1, 0, wbuf, 4, &u),
      ZEVO_Msg_GetStringAt(h, 1, 0, buf, 4, &u),
      ZEVO_Msg_GetBinaryAt(h, 1, 0, buf, 4, &u),
      ZEVO_Msg_GetSizeOf(h, 1, &u),
      ZEVO_Msg_GetDataAt(h, 1, 0, &out),
      ZEVO_Msg_ReadDataAt(h, 1, 0, &out),
      ZEVO_Msg_GetNameID(h, &u),
      ZEVO_Msg_GetDataLen(h, &u),
      ZEVO_Msg_GetStartAddress(h, &p),
      ZEVO_Msg_Pack(h),
      ZEVO_Msg_Load(h, packed, sizeof packed),
      ZEVO_Msg_Clear(h),
      ZEVO_Msg_Erase(h, 1),
  };
  int n = 0;
  for (std::int32_t rc : results) n += rc == expected ? 1 : 0;
  EXPECT_EQ(out.words[0], 0u) << "no handle may come out of a dead one";
  return n;
}

constexpr int kHandleCalls = 22;

TEST(MsgHandles, DeadHandlesFailEverywhere) {
  ZEVO_DataHandle zero{};
  EXPECT_EQ(CountFailures(&zero, ZEVO_MSG_E_FAIL), kHandleCalls);
  EXPECT_EQ(CountFailures(nullptr, ZEVO_MSG_E_INVALID), kHandleCalls);

  ZEVO_DataHandle h{};
  ASSERT_EQ(ZEVO_Msg_CreateDataHandle(0, &h), ZEVO_MSG_S_OK);
  const ZEVO_DataHandle stale = h;
  ASSERT_EQ(ZEVO_Msg_DestroyDataHandle(&h), ZEVO_MSG_S_OK);
  EXPECT_EQ(h.words[0] | h.words[1], 0u);
  EXPECT_EQ(CountFailures(&stale, ZEVO_MSG_E_FAIL), kHandleCalls);
  ZEVO_DataHandle again = stale;
  EXPECT_EQ(ZEVO_Msg_DestroyDataHandle(&again), ZEVO_MSG_E_FAIL);
  EXPECT_EQ(ZEVO_Msg_DestroyDataHandle(nullptr), ZEVO_MSG_E_INVALID);

  // A new message may reuse the slot; the stale handle still names nothing.
  ScopedHandle reuse;
  EXPECT_EQ(CountFailures(&stale, ZEVO_MSG_E_FAIL), kHandleCalls);

  // Forged: every single-bit change of a live handle.
  ScopedHandle live;
  for (int word = 0; word < 2; ++word) {
    for (int bit = 0; bit < 64; ++bit) {
      ZEVO_DataHandle forged = *live.get();
      forged.words[word] ^= std::uint64_t{1} << bit;
      std::uint32_t name = 0;
      EXPECT_EQ(ZEVO_Msg_GetNameID(&forged, &name), ZEVO_MSG_E_FAIL) << word << ":" << bit;
    }
  }
  EXPECT_EQ(ZEVO_Msg_CreateDataHandle(0, nullptr), ZEVO_MSG_E_INVALID);
}

}  // namespace
}  // namespace zevo::msg_test
