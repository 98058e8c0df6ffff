#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "msg_test_util.h"
#include "zevo/msg_wrapper.h"

namespace zevo::msg_test {
namespace {

TEST(MsgWrapper, HandleFollowsTheVtablePointer) {
  ZEVO_DataHandleWrapper w(65542);
  ASSERT_TRUE(w.Valid());
  // The host reads the handle right after the vtable pointer.
  const auto* raw = reinterpret_cast<const unsigned char*>(&w) + sizeof(void*);
  EXPECT_EQ(static_cast<const void*>(raw), static_cast<const void*>(&w.Handle()));
  EXPECT_EQ(NameOf(&w.Handle()), 65542u);
}

TEST(MsgWrapper, CopiesShareMovesTransfer) {
  ZEVO_DataHandleWrapper a;
  ASSERT_EQ(a.PutWString(133767, u"Acme"), ZEVO_MSG_S_OK);
  ZEVO_DataHandleWrapper b(a);
  ZEVO_DataHandleWrapper c(a.Handle());
  b.PutInt32(1, 2);
  EXPECT_EQ(SizeOf(&c.Handle(), 1), 1u);

  ZEVO_DataHandleWrapper moved(std::move(b));
  EXPECT_FALSE(b.Valid());  // NOLINT(bugprone-use-after-move): the moved-from state is part of the contract
  EXPECT_EQ(b.PutInt32(1, 3), ZEVO_MSG_E_FAIL);
  std::u16string text;
  ASSERT_EQ(moved.GetWStringAt(133767, 0, &text), ZEVO_MSG_S_OK);
  EXPECT_EQ(text, u"Acme");

  ZEVO_DataHandleWrapper other(7);
  other = a;  // now shares a's message; its own message is released
  EXPECT_EQ(NameOf(&other.Handle()), 0u);

  ZEVO_DataHandle dup{};
  ASSERT_EQ(a.Duplicate(&dup), ZEVO_MSG_S_OK);
  ZEVO_DataHandleWrapper owner(9);
  owner.Adopt(dup);
  a.Clear();
  EXPECT_EQ(owner.GetWStringAt(133767, 0, &text), ZEVO_MSG_S_OK);
  EXPECT_EQ(other.GetWStringAt(133767, 0, &text), ZEVO_MSG_E_INVALID);
}

TEST(MsgWrapper, ReadNextDataAdvancesOnSuccessOnly) {
  ZEVO_DataHandleWrapper reply(65542), out;
  const auto add = [&](std::uint32_t name, std::int32_t value) {
    ZEVO_DataHandleWrapper item(name);
    item.PutInt32(1, value);
    ASSERT_EQ(reply.PutData(item), ZEVO_MSG_S_OK);
  };
  // The value in `out` after one ReadNextData, or -1 when the read failed.
  const auto next = [&](std::uint32_t name) {
    std::int32_t v = -1;
    return reply.ReadNextData(name, out) == ZEVO_MSG_S_OK && out.GetInt32At(1, 0, &v) == ZEVO_MSG_S_OK ? v : -1;
  };
  add(500, 0);
  add(500, 1);
  add(600, 6);
  EXPECT_EQ(next(500), 0);
  EXPECT_EQ(next(600), 6);  // its own cursor
  EXPECT_EQ(next(500), 1);

  // The end: failure, `out` and the cursor stay.
  EXPECT_EQ(next(500), -1);
  EXPECT_EQ(reply.CursorOf(500), 2u);
  EXPECT_EQ(Int32At(&out.Handle(), 1, 0), 1);

  // Another item arrives: the cursor picks it up where it stopped.
  add(500, 2);
  EXPECT_EQ(next(500), 2);

  reply.Clear();
  EXPECT_EQ(reply.CursorOf(500), 0u);
  EXPECT_EQ(reply.CursorOf(600), 0u);
}

}  // namespace
}  // namespace zevo::msg_test
