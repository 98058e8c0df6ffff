#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "zevo/msg_wrapper.h"

namespace zevo::msg_test {
namespace {

TEST(MsgWrapper, HandleFollowsTheVtablePointer) {
  ZEVO_DataHandleWrapper w(65542);
  ASSERT_TRUE(w.Valid());
  // The host reads the handle right after the vtable pointer.
  const auto* raw = reinterpret_cast<const unsigned char*>(&w) + sizeof(void*);
  EXPECT_EQ(static_cast<const void*>(raw), static_cast<const void*>(&w.Handle()));
  std::uint32_t name = 0;
  ASSERT_EQ(w.GetNameID(&name), ZEVO_MSG_S_OK);
  EXPECT_EQ(name, 65542u);
  ZEVO_DataHandleWrapper empty;
  ASSERT_EQ(empty.GetNameID(&name), ZEVO_MSG_S_OK);
  EXPECT_EQ(name, 0u);
}

TEST(MsgWrapper, CopiesShareMovesTransfer) {
  ZEVO_DataHandleWrapper a;
  ASSERT_EQ(a.PutWString(133767, u"Acme"), ZEVO_MSG_S_OK);
  ZEVO_DataHandleWrapper b(a);
  ZEVO_DataHandleWrapper c(a.Handle());
  b.PutInt32(1, 2);
  std::uint32_t count = 0;
  ASSERT_EQ(c.GetSizeOf(1, &count), ZEVO_MSG_S_OK);
  EXPECT_EQ(count, 1u);

  ZEVO_DataHandleWrapper moved(std::move(b));
  EXPECT_FALSE(b.Valid());  // NOLINT(bugprone-use-after-move): the moved-from state is part of the contract
  EXPECT_EQ(b.PutInt32(1, 3), ZEVO_MSG_E_FAIL);
  std::u16string text;
  ASSERT_EQ(moved.GetWStringAt(133767, 0, &text), ZEVO_MSG_S_OK);
  EXPECT_EQ(text, u"Acme");

  ZEVO_DataHandleWrapper other(7);
  other = a;  // now shares a's message; its own message is released
  ASSERT_EQ(other.GetNameID(&count), ZEVO_MSG_S_OK);
  EXPECT_EQ(count, 0u);

  ZEVO_DataHandle dup{};
  ASSERT_EQ(a.Duplicate(&dup), ZEVO_MSG_S_OK);
  ZEVO_DataHandleWrapper owner(9);
  owner.Adopt(dup);
  a.Clear();
  EXPECT_EQ(owner.GetWStringAt(133767, 0, &text), ZEVO_MSG_S_OK);
  EXPECT_EQ(other.GetWStringAt(133767, 0, &text), ZEVO_MSG_E_INVALID);
}

TEST(MsgWrapper, ReadNextDataAdvancesOnSuccessOnly) {
  ZEVO_DataHandleWrapper reply(65542);
  for (std::int32_t i = 0; i < 2; ++i) {
    ZEVO_DataHandleWrapper item(500);
    item.PutInt32(1, i);
    ASSERT_EQ(reply.PutData(item), ZEVO_MSG_S_OK);
  }
  ZEVO_DataHandleWrapper other(600);
  ASSERT_EQ(reply.PutData(other), ZEVO_MSG_S_OK);

  ZEVO_DataHandleWrapper out;
  std::int32_t v = -1;
  ASSERT_EQ(reply.ReadNextData(500, out), ZEVO_MSG_S_OK);
  ASSERT_EQ(out.GetInt32At(1, 0, &v), ZEVO_MSG_S_OK);
  EXPECT_EQ(v, 0);
  ASSERT_EQ(reply.ReadNextData(600, out), ZEVO_MSG_S_OK);  // its own cursor
  ASSERT_EQ(reply.ReadNextData(500, out), ZEVO_MSG_S_OK);
  ASSERT_EQ(out.GetInt32At(1, 0, &v), ZEVO_MSG_S_OK);
  EXPECT_EQ(v, 1);

  // The end: failure, `out` and the cursor stay.
  EXPECT_EQ(reply.ReadNextData(500, out), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(reply.CursorOf(500), 2u);
  ASSERT_EQ(out.GetInt32At(1, 0, &v), ZEVO_MSG_S_OK);
  EXPECT_EQ(v, 1);

  // Another item arrives: the cursor picks it up where it stopped.
  ZEVO_DataHandleWrapper late(500);
  late.PutInt32(1, 2);
  reply.PutData(late);
  ASSERT_EQ(reply.ReadNextData(500, out), ZEVO_MSG_S_OK);
  ASSERT_EQ(out.GetInt32At(1, 0, &v), ZEVO_MSG_S_OK);
  EXPECT_EQ(v, 2);

  // ReadNextData hands out copies: changing one leaves the reply alone.
  out.PutInt32(1, 99);
  ZEVO_DataHandleWrapper check;
  ASSERT_EQ(reply.ReadDataAt(500, 2, check), ZEVO_MSG_S_OK);
  std::uint32_t count = 0;
  ASSERT_EQ(check.GetSizeOf(1, &count), ZEVO_MSG_S_OK);
  EXPECT_EQ(count, 1u);

  reply.Clear();
  EXPECT_EQ(reply.CursorOf(500), 0u);
  EXPECT_EQ(reply.CursorOf(600), 0u);
}

}  // namespace
}  // namespace zevo::msg_test
