#include <gtest/gtest.h>

#include "msg_test_util.h"
#include "zevo/msg.h"

namespace zevo::msg_test {
namespace {

constexpr std::uint32_t kItem = 65542;

TEST(MsgNested, PutDataStoresACopyUnderItsNameId) {
  ScopedHandle parent, item(kItem);
  ZEVO_Msg_PutInt32(parent.get(), 1, 5);
  ZEVO_Msg_PutInt32(item.get(), 7, 70);
  ASSERT_EQ(ZEVO_Msg_PutData(parent.get(), item.get()), ZEVO_MSG_S_OK);
  ZEVO_Msg_PutInt32(item.get(), 7, 71);
  ASSERT_EQ(ZEVO_Msg_PutData(parent.get(), item.get()), ZEVO_MSG_S_OK);
  ZEVO_Msg_PutInt32(item.get(), 7, 72);  // after both puts: reaches neither copy
  EXPECT_EQ(SizeOf(parent.get(), kItem), 2u);
  for (std::uint32_t pos = 0; pos < 2; ++pos) {
    ZEVO_DataHandle read{};
    ASSERT_EQ(ZEVO_Msg_ReadDataAt(parent.get(), kItem, pos, &read), ZEVO_MSG_S_OK);
    EXPECT_EQ(NameOf(&read), kItem);
    EXPECT_EQ(SizeOf(&read, 7), pos + 1);
    ZEVO_Msg_DestroyDataHandle(&read);
  }

  // Wrong type either way, and past the end.
  ZEVO_DataHandle out{};
  std::int32_t v = 0;
  EXPECT_EQ(ZEVO_Msg_GetDataAt(parent.get(), 1, 0, &out), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_ReadDataAt(parent.get(), kItem, 2, &out), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetInt32At(parent.get(), kItem, 0, &v), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(out.words[0], 0u);
  EXPECT_EQ(ZEVO_Msg_PutData(parent.get(), nullptr), ZEVO_MSG_E_INVALID);

  // A message put into itself holds a copy of what it had before.
  ASSERT_EQ(ZEVO_Msg_PutData(item.get(), item.get()), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_ReadDataAt(item.get(), kItem, 0, &out), ZEVO_MSG_S_OK);
  EXPECT_EQ(SizeOf(&out, 7), 3u);
  EXPECT_EQ(SizeOf(&out, kItem), 0u);
  ZEVO_Msg_DestroyDataHandle(&out);
}

TEST(MsgNested, GetDataAtSharesReadDataAtCopies) {
  ZEVO_DataHandle parent{};
  ASSERT_EQ(ZEVO_Msg_CreateDataHandle(0, &parent), ZEVO_MSG_S_OK);
  ScopedHandle item(kItem);
  ZEVO_Msg_PutInt32(item.get(), 7, 70);
  ZEVO_Msg_PutData(&parent, item.get());
  ZEVO_DataHandle inside{}, copy{};
  ASSERT_EQ(ZEVO_Msg_GetDataAt(&parent, kItem, 0, &inside), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_ReadDataAt(&parent, kItem, 0, &copy), ZEVO_MSG_S_OK);
  ZEVO_Msg_PutInt32(&inside, 7, 71);
  ZEVO_Msg_PutInt32(&copy, 7, 99);

  // A reference into the parent outlives the parent's last handle.
  ASSERT_EQ(ZEVO_Msg_DestroyDataHandle(&parent), ZEVO_MSG_S_OK);
  EXPECT_EQ(Int32At(&inside, 7, 1), 71);
  EXPECT_EQ(Int32At(&copy, 7, 1), 99);
  ZEVO_Msg_DestroyDataHandle(&inside);
  ZEVO_Msg_DestroyDataHandle(&copy);
}

}  // namespace
}  // namespace zevo::msg_test
