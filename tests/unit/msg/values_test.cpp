#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "msg_test_util.h"
#include "zevo/msg.h"

extern "C" int zevo_msg_c_header_check(void);

namespace zevo::msg_test {
namespace {

TEST(MsgResultCodes, AreTheDocumentedValues) {
  EXPECT_EQ(ZEVO_MSG_S_OK, static_cast<std::int32_t>(0x20ff0000u));
  EXPECT_EQ(ZEVO_MSG_E_FAIL, static_cast<std::int32_t>(0xe0ff0001u));
  EXPECT_EQ(ZEVO_MSG_E_INVALID, static_cast<std::int32_t>(0xe0ff0007u));
  EXPECT_EQ(ZEVO_MSG_E_BAD_FORMAT, static_cast<std::int32_t>(0xe0ff0003u));
  EXPECT_EQ(ZEVO_MSG_E_NOT_PACKED, static_cast<std::int32_t>(0xe0ff0004u));
  EXPECT_EQ(ZEVO_MSG_E_TOO_LARGE, static_cast<std::int32_t>(0xe0ff0005u));
  EXPECT_EQ(ZEVO_MSG_E_NO_MEMORY, static_cast<std::int32_t>(0xe0ff0006u));
  EXPECT_EQ(zevo_msg_c_header_check(), 1);
}

TEST(MsgValues, ScalarsKeepInsertionOrderPerIndex) {
  ScopedHandle m;
  ASSERT_TRUE(m.ok());
  ASSERT_EQ(ZEVO_Msg_PutInt32(m.get(), 131372, 8282), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_PutUInt32(m.get(), 5, 0xFFFFFFFFu), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_PutInt32(m.get(), 131372, -8283), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_PutInt32(m.get(), 131372, 0), ZEVO_MSG_S_OK);
  EXPECT_EQ(SizeOf(m.get(), 131372), 3u);
  EXPECT_EQ(Int32At(m.get(), 131372, 0), 8282);
  EXPECT_EQ(Int32At(m.get(), 131372, 1), -8283);
  EXPECT_EQ(Int32At(m.get(), 131372, 2), 0);
  std::uint32_t u = 0;
  ASSERT_EQ(ZEVO_Msg_GetUInt32At(m.get(), 5, 0, &u), ZEVO_MSG_S_OK);
  EXPECT_EQ(u, 0xFFFFFFFFu);

  // Past the end, unknown index, wrong type: failure and the output untouched.
  std::int32_t v = 77;
  EXPECT_EQ(ZEVO_Msg_GetInt32At(m.get(), 131372, 3, &v), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetInt32At(m.get(), 999, 0, &v), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetInt32At(m.get(), 5, 0, &v), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(v, 77);
  EXPECT_EQ(ZEVO_Msg_GetInt32At(m.get(), 131372, 0, nullptr), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(SizeOf(m.get(), 999), 0u);  // an index without values holds none: a count, not a failure
}

TEST(MsgValues, WideStringsReadInTwoSteps) {
  ScopedHandle m;
  const std::u16string name = u"Trend\u00e9 \u4e2d";
  ASSERT_EQ(ZEVO_Msg_PutWString(m.get(), 133767, name.data(), static_cast<std::uint32_t>(name.size())), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_PutWString(m.get(), 133767, nullptr, 0), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_PutWString(m.get(), 133767, u"ab\0cd", 5), ZEVO_MSG_S_OK);
  EXPECT_EQ(ZEVO_Msg_PutWString(m.get(), 133767, nullptr, 3), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(WStringAt(m.get(), 133767, 0), name);
  EXPECT_EQ(WStringAt(m.get(), 133767, 1), u"");
  EXPECT_EQ(WStringAt(m.get(), 133767, 2), std::u16string(u"ab\0cd", 5));

  // A buffer of exactly the length has no room for the terminator.
  char16_t buf[16];
  std::fill(std::begin(buf), std::end(buf), u'#');
  std::uint32_t len = 0;
  EXPECT_EQ(ZEVO_Msg_GetWStringAt(m.get(), 133767, 0, buf, static_cast<std::uint32_t>(name.size()), &len),
            ZEVO_MSG_E_INVALID);
  EXPECT_EQ(len, name.size());
  for (char16_t c : buf) EXPECT_EQ(c, u'#');

  // A null buffer with a size, or a length query without a place for the length.
  EXPECT_EQ(ZEVO_Msg_GetWStringAt(m.get(), 133767, 0, nullptr, 5, &len), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetWStringAt(m.get(), 133767, 0, nullptr, 0, nullptr), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetWStringAt(m.get(), 133767, 3, nullptr, 0, &len), ZEVO_MSG_E_INVALID);
}

TEST(MsgValues, StringsAndBinaryRespectTheBuffer) {
  ScopedHandle m;
  ASSERT_EQ(ZEVO_Msg_PutString(m.get(), 1, "hello", 5), ZEVO_MSG_S_OK);
  const unsigned char blob[] = {0, 1, 2, 0xFF, 0};
  ASSERT_EQ(ZEVO_Msg_PutBinary(m.get(), 1, blob, sizeof blob), ZEVO_MSG_S_OK);
  ASSERT_EQ(ZEVO_Msg_PutBinary(m.get(), 2, nullptr, 0), ZEVO_MSG_S_OK);

  char text[8];
  std::memset(text, '#', sizeof text);
  std::uint32_t len = 0;
  EXPECT_EQ(ZEVO_Msg_GetStringAt(m.get(), 1, 0, text, 5, &len), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(text[0], '#');
  ASSERT_EQ(ZEVO_Msg_GetStringAt(m.get(), 1, 0, text, 6, &len), ZEVO_MSG_S_OK);
  EXPECT_STREQ(text, "hello");
  EXPECT_EQ(text[6], '#');

  unsigned char bytes[8];
  std::memset(bytes, 0xAA, sizeof bytes);
  EXPECT_EQ(ZEVO_Msg_GetBinaryAt(m.get(), 1, 1, bytes, 4, &len), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(len, sizeof blob);
  EXPECT_EQ(bytes[0], 0xAA);
  // Binary needs no terminator: a buffer of exactly the size fits.
  ASSERT_EQ(ZEVO_Msg_GetBinaryAt(m.get(), 1, 1, bytes, sizeof blob, nullptr), ZEVO_MSG_S_OK);
  EXPECT_EQ(std::memcmp(bytes, blob, sizeof blob), 0);
  EXPECT_EQ(bytes[sizeof blob], 0xAA);
  ASSERT_EQ(ZEVO_Msg_GetBinaryAt(m.get(), 2, 0, nullptr, 0, &len), ZEVO_MSG_S_OK);
  EXPECT_EQ(len, 0u);

  // Each getter accepts only its own type.
  EXPECT_EQ(ZEVO_Msg_GetBinaryAt(m.get(), 1, 0, bytes, sizeof bytes, &len), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetStringAt(m.get(), 1, 1, text, sizeof text, &len), ZEVO_MSG_E_INVALID);
  EXPECT_EQ(ZEVO_Msg_GetWStringAt(m.get(), 1, 0, nullptr, 0, &len), ZEVO_MSG_E_INVALID);
}

TEST(MsgValues, EraseAndClear) {
  ScopedHandle m(42);
  ZEVO_Msg_PutInt32(m.get(), 1, 10);
  ZEVO_Msg_PutInt32(m.get(), 2, 20);
  ASSERT_EQ(ZEVO_Msg_Erase(m.get(), 1), ZEVO_MSG_S_OK);
  EXPECT_EQ(ZEVO_Msg_Erase(m.get(), 1), ZEVO_MSG_S_OK);  // nothing left to erase: still fine
  ZEVO_Msg_PutInt32(m.get(), 1, 12);
  EXPECT_EQ(SizeOf(m.get(), 1), 1u);  // positions start again at 0 after an erase
  EXPECT_EQ(Int32At(m.get(), 2, 0), 20);

  ASSERT_EQ(ZEVO_Msg_Clear(m.get()), ZEVO_MSG_S_OK);
  EXPECT_EQ(SizeOf(m.get(), 2), 0u);
  EXPECT_EQ(NameOf(m.get()), 42u);
}

}  // namespace
}  // namespace zevo::msg_test
