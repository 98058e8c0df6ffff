// The crypto steps and the calling thread's OpenSSL error queue, which they
// share with the host (POSIX).
#include "os/md5_rc4.h"

#include <gtest/gtest.h>

#include <cstdint>

#ifndef _WIN32
#include <openssl/err.h>

namespace zevo::os {
namespace {

TEST(Md5Rc4Test, AFailedStepKeepsTheHostsErrorsAndDoesNotBlameThem) {
  ERR_clear_error();
  ERR_raise(ERR_LIB_USER, 42);  // the host's own, left over
  const unsigned long host = ERR_peek_last_error();
  Md5Rc4Session session;
  ASSERT_TRUE(session.AcquireContext() && session.CreateHash() && session.DeriveKey());
  std::uint8_t data[4] = {};
  std::uint32_t length = sizeof data + 1;  // more than the room: fails before OpenSSL is asked
  EXPECT_FALSE(session.Crypt(/*encrypt=*/true, data, &length, sizeof data, /*final=*/true));
  EXPECT_NE(LastCryptoError().code, static_cast<std::int32_t>(host));
  EXPECT_EQ(ERR_peek_error(), host);  // the queue as the host left it: that entry alone
  EXPECT_EQ(ERR_peek_last_error(), host);
  ERR_clear_error();
}

// Each step needs the one before: a hash to feed or finish, a key to use.
TEST(Md5Rc4Test, StepsOutOfOrderFail) {
  Md5Rc4Session session;
  ASSERT_TRUE(session.AcquireContext());
  const std::uint8_t byte = 1;
  EXPECT_FALSE(session.HashData(&byte, 1));
  EXPECT_FALSE(session.DeriveKey());
  ASSERT_TRUE(session.CreateHash() && session.DeriveKey() && session.DestroyKey());
  std::uint32_t size = 0;
  EXPECT_FALSE(session.EncryptedSize(4, &size));
  ERR_clear_error();
}

}  // namespace
}  // namespace zevo::os
#endif  // _WIN32
