#include <gtest/gtest.h>

#include <vector>

#include "msg_test_util.h"
#include "zevo/msg.h"

namespace zevo::msg_test {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Packed(ZEVO_DataHandle* h) {
  std::uint32_t len = 0;
  const void* start = nullptr;
  if (ZEVO_Msg_Pack(h) != ZEVO_MSG_S_OK || ZEVO_Msg_GetDataLen(h, &len) != ZEVO_MSG_S_OK ||
      ZEVO_Msg_GetStartAddress(h, &start) != ZEVO_MSG_S_OK) {
    ADD_FAILURE() << "pack failed";
    return {};
  }
  const auto* p = static_cast<const unsigned char*>(start);
  return Bytes(p, p + len);
}

// A message with every value type, two levels deep.
void Fill(ZEVO_DataHandle* h) {
  ScopedHandle item(65542), sub(9);
  ZEVO_Msg_PutUInt32(sub.get(), 3, 33);
  ZEVO_Msg_PutData(item.get(), sub.get());
  ZEVO_Msg_PutWString(item.get(), 133767, u"\u00e9t\u00e9", 3);
  ZEVO_Msg_PutInt32(h, 131972, -11);
  ZEVO_Msg_PutUInt32(h, 134076, 0x80000001u);
  ZEVO_Msg_PutUInt32(h, 134076, 2);
  ZEVO_Msg_PutString(h, 4, "ascii", 5);
  ZEVO_Msg_PutBinary(h, 5, "\0\1\2", 3);
  ZEVO_Msg_PutWString(h, 6, nullptr, 0);
  ZEVO_Msg_PutData(h, item.get());
  ZEVO_Msg_PutData(h, item.get());
}

TEST(MsgPacking, LayoutIsPinned) {
  ScopedHandle m(5);
  ZEVO_Msg_PutInt32(m.get(), 1, -2);
  ZEVO_Msg_PutWString(m.get(), 2, u"A", 1);
  const Bytes expected = {0x5A, 0x4D, 0x53, 0x47, 0x01, 0x00, 0x00, 0x00,        // magic "ZMSG", version 1, flags 0
                          0x05, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,        // name id 5, two values
                          0x01, 0x00, 0x00, 0x00, 0x01, 0xFE, 0xFF, 0xFF, 0xFF,  // index 1, int32, -2
                          0x02, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x00, 0x00,  // index 2, wstring, 1 char
                          0x41, 0x00};
  EXPECT_EQ(Packed(m.get()), expected);
}

TEST(MsgPacking, RoundTripKeepsEverything) {
  ScopedHandle source, target(77);
  Fill(source.get());
  const Bytes bytes = Packed(source.get());

  ZEVO_Msg_PutInt32(target.get(), 1, 1);  // replaced by the load, name id included
  ASSERT_EQ(ZEVO_Msg_Load(target.get(), bytes.data(), static_cast<std::uint32_t>(bytes.size())), ZEVO_MSG_S_OK);
  EXPECT_EQ(Packed(target.get()), bytes);  // the same values, read back and packed again

  // Read through the nested levels, the loaded values are where they were put.
  ZEVO_DataHandle item{}, sub{};
  std::uint32_t u = 0;
  ASSERT_EQ(ZEVO_Msg_GetDataAt(target.get(), 65542, 1, &item), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_GetDataAt(&item, 9, 0, &sub), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_GetUInt32At(&sub, 3, 0, &u), ZEVO_MSG_S_OK);
  EXPECT_EQ(u, 33u);

  // Loading into a nested message may not rename it: its parent files it
  // under its name id.
  ScopedHandle renamed(10);
  const Bytes other = Packed(renamed.get());
  EXPECT_EQ(ZEVO_Msg_Load(&sub, other.data(), static_cast<std::uint32_t>(other.size())), ZEVO_MSG_E_INVALID);
  ZEVO_Msg_DestroyDataHandle(&sub);
  ZEVO_Msg_DestroyDataHandle(&item);
}

TEST(MsgPacking, StartAddressFollowsChanges) {
  ScopedHandle m;
  Fill(m.get());
  const void* start = nullptr;
  EXPECT_EQ(ZEVO_Msg_GetStartAddress(m.get(), &start), ZEVO_MSG_E_NOT_PACKED);
  ASSERT_EQ(ZEVO_Msg_Pack(m.get()), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_GetStartAddress(m.get(), &start), ZEVO_MSG_S_OK);

  // A change deep inside, made through a reference, makes the bytes stale.
  ZEVO_DataHandle item{}, sub{};
  ASSERT_EQ(ZEVO_Msg_GetDataAt(m.get(), 65542, 0, &item), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_GetDataAt(&item, 9, 0, &sub), ZEVO_MSG_S_OK);
  ZEVO_Msg_PutInt32(&sub, 1, 1);
  EXPECT_EQ(ZEVO_Msg_GetStartAddress(m.get(), &start), ZEVO_MSG_E_NOT_PACKED);
  ASSERT_EQ(ZEVO_Msg_Pack(m.get()), ZEVO_MSG_S_OK);
  ZEVO_Msg_Erase(m.get(), 4);  // so does an erase
  EXPECT_EQ(ZEVO_Msg_GetStartAddress(m.get(), &start), ZEVO_MSG_E_NOT_PACKED);
  // So does a load into a nested message.
  ASSERT_EQ(ZEVO_Msg_Pack(m.get()), ZEVO_MSG_S_OK);
  ScopedHandle nine(9);
  const Bytes other = Packed(nine.get());
  ASSERT_EQ(ZEVO_Msg_Load(&sub, other.data(), static_cast<std::uint32_t>(other.size())), ZEVO_MSG_S_OK);
  EXPECT_EQ(ZEVO_Msg_GetStartAddress(m.get(), &start), ZEVO_MSG_E_NOT_PACKED);
  ZEVO_Msg_DestroyDataHandle(&sub);
  ZEVO_Msg_DestroyDataHandle(&item);
}

// Loads `bytes` into a packed message; on failure checks it is unchanged.
std::int32_t LoadKeepsTargetOnFailure(const Bytes& bytes) {
  ScopedHandle target(3);
  ZEVO_Msg_PutString(target.get(), 8, "keep", 4);
  const Bytes before = Packed(target.get());
  std::int32_t rc = ZEVO_Msg_Load(target.get(), bytes.data(), static_cast<std::uint32_t>(bytes.size()));
  if (rc < 0) {
    const void* start = nullptr;
    EXPECT_EQ(ZEVO_Msg_GetStartAddress(target.get(), &start), ZEVO_MSG_S_OK) << "still packed";
    EXPECT_EQ(Packed(target.get()), before);
  }
  return rc;
}

TEST(MsgPacking, DamagedBytesFailAndChangeNothing) {
  ScopedHandle source;
  Fill(source.get());
  const Bytes good = Packed(source.get());
  ASSERT_EQ(LoadKeepsTargetOnFailure(good), ZEVO_MSG_S_OK);

  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_EQ(LoadKeepsTargetOnFailure(Bytes(good.begin(), good.begin() + n)), ZEVO_MSG_E_BAD_FORMAT) << n;
  }
  // Flips in the name id or the values may stay valid (failures are checked
  // inside); any flip in magic, version, flags or value count is refused.
  for (std::size_t i = 0; i < good.size(); ++i) {
    Bytes flipped = good;
    flipped[i] ^= 0xFF;
    const std::int32_t rc = LoadKeepsTargetOnFailure(flipped);
    EXPECT_TRUE(rc == ZEVO_MSG_E_BAD_FORMAT || (i >= 8 && i < 12) || i >= 16) << i;
  }

  for (unsigned char type : {0, 7}) {  // just outside the value types
    Bytes typed = good;
    typed[20] = type;
    EXPECT_EQ(LoadKeepsTargetOnFailure(typed), ZEVO_MSG_E_BAD_FORMAT) << int{type};
  }
  Bytes trailing = good;
  trailing.push_back(0);
  EXPECT_EQ(LoadKeepsTargetOnFailure(trailing), ZEVO_MSG_E_BAD_FORMAT);

  // A wide string claiming 2^32-1 characters.
  const Bytes huge = {0x5A, 0x4D, 0x53, 0x47, 1, 0, 0, 0,    0,    0,    0,    0,    1, 0,
                      0,    0,    1,    0,    0, 0, 3, 0xFF, 0xFF, 0xFF, 0xFF, 0x41, 0};
  EXPECT_EQ(LoadKeepsTargetOnFailure(huge), ZEVO_MSG_E_BAD_FORMAT);

  ScopedHandle target;
  EXPECT_EQ(ZEVO_Msg_Load(target.get(), nullptr, 4), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_Load(target.get(), nullptr, 0), ZEVO_MSG_E_BAD_FORMAT);
}

// A packed chain of `levels` nested messages, all named 1.
Bytes Chain(int levels) {
  Bytes inner = {0x5A, 0x4D, 0x53, 0x47, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < levels; ++i) {
    const auto len = static_cast<std::uint32_t>(inner.size());
    Bytes outer = {0x5A, 0x4D, 0x53, 0x47, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 6};
    for (int s = 0; s < 32; s += 8) outer.push_back(static_cast<unsigned char>(len >> s));
    outer.insert(outer.end(), inner.begin(), inner.end());
    inner.swap(outer);
  }
  return inner;
}

TEST(MsgPacking, NestingDepthIsBounded) {
  EXPECT_EQ(LoadKeepsTargetOnFailure(Chain(ZEVO_MSG_MAX_NESTING + 1)), ZEVO_MSG_E_TOO_LARGE);
  // The deepest chain loads and packs; putting it into a message goes one level too deep.
  for (int levels : {ZEVO_MSG_MAX_NESTING - 1, ZEVO_MSG_MAX_NESTING}) {
    const Bytes bytes = Chain(levels);
    ScopedHandle chain(1), outer(1);
    ASSERT_EQ(ZEVO_Msg_Load(chain.get(), bytes.data(), static_cast<std::uint32_t>(bytes.size())), ZEVO_MSG_S_OK);
    EXPECT_EQ(Packed(chain.get()), bytes);
    EXPECT_EQ(ZEVO_Msg_PutData(outer.get(), chain.get()),
              levels < ZEVO_MSG_MAX_NESTING ? ZEVO_MSG_S_OK : ZEVO_MSG_E_TOO_LARGE);
    if (levels < ZEVO_MSG_MAX_NESTING) continue;
    // The innermost message, reached by reference, takes values but no more nesting.
    ZEVO_DataHandle deep{};
    ASSERT_EQ(ZEVO_Msg_ShareDataHandle(chain.get(), &deep), ZEVO_MSG_S_OK);
    for (int i = 0; i < levels; ++i) {
      ZEVO_DataHandle next{};
      ASSERT_EQ(ZEVO_Msg_GetDataAt(&deep, 1, 0, &next), ZEVO_MSG_S_OK);
      ZEVO_Msg_DestroyDataHandle(&deep);
      deep = next;
    }
    EXPECT_EQ(ZEVO_Msg_PutData(&deep, outer.get()), ZEVO_MSG_E_TOO_LARGE);
    EXPECT_EQ(ZEVO_Msg_PutInt32(&deep, 2, 3), ZEVO_MSG_S_OK);
    ZEVO_Msg_DestroyDataHandle(&deep);
  }

  // A nested message's name id must match the index it is filed under.
  Bytes misfiled = Chain(1);
  misfiled[16] = 2;
  EXPECT_EQ(LoadKeepsTargetOnFailure(misfiled), ZEVO_MSG_E_BAD_FORMAT);
}

}  // namespace
}  // namespace zevo::msg_test
