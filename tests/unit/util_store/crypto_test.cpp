#include "util/zevo_data_crypto.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "store_test_support.h"

namespace zevo::util {
namespace {

using storetest::Crypt;

// Textbook RC4, to check the library against something written apart
// from it.
std::string Rc4(const std::vector<std::uint8_t>& key, std::string_view data) {
  std::uint8_t s[256];
  for (int i = 0; i < 256; ++i) s[i] = static_cast<std::uint8_t>(i);
  for (int i = 0, j = 0; i < 256; ++i) {
    j = (j + s[i] + key[i % key.size()]) & 255;
    std::swap(s[i], s[j]);
  }
  std::string out(data);
  for (std::size_t n = 0, i = 0, j = 0; n < out.size(); ++n) {
    i = (i + 1) & 255;
    j = (j + s[i]) & 255;
    std::swap(s[i], s[j]);
    out[n] = static_cast<char>(out[n] ^ s[(s[i] + s[j]) & 255]);
  }
  return out;
}

// MD5 of the built-in password, computed apart from this project.
const std::vector<std::uint8_t> kBuiltInKey = {0x42, 0x99, 0x4b, 0x76, 0x86, 0x5f, 0x92, 0xbe,
                                               0x1d, 0x5e, 0x10, 0x05, 0x36, 0x30, 0x94, 0x5d};

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    data[i] = static_cast<char>((i * 131 + 7) % 251);
  }
  return data;
}

// Whole and cut into 1000-byte pieces (2500 = 1000 + 1000 + 500), the
// data gets one RC4 pass under the built-in key; another password is
// another key.
TEST(ZevoDataCrypto, PiecesGiveOneRc4Pass) {
  for (std::size_t size : {0u, 11u, 999u, 1000u, 1001u, 2000u, 2500u}) {
    SCOPED_TRACE(size);
    const std::string plain = Pattern(size);
    const std::string cipher = Crypt(/*encrypt=*/true, plain);
    EXPECT_EQ(cipher, Rc4(kBuiltInKey, plain));
    EXPECT_EQ(Crypt(/*encrypt=*/false, cipher), plain);
  }
  const std::string other = Crypt(/*encrypt=*/true, Pattern(11), "other");
  EXPECT_NE(other, Crypt(/*encrypt=*/true, Pattern(11)));
  EXPECT_EQ(Crypt(/*encrypt=*/false, other, "other"), Pattern(11));

  CryptoBuffer buffer;
  std::uint32_t length = 7;
  EXPECT_FALSE(ZevoDataCrypto::EncryptData(nullptr, nullptr, 5, buffer, length));
  EXPECT_EQ(length, 0u);
}

TEST(ZevoDataCrypto, EncryptDataToBuffer) {
  const std::string plain = Pattern(2500);
  const auto* data = reinterpret_cast<const std::uint8_t*>(plain.data());
  std::vector<std::uint8_t> target(plain.size(), 0xee);
  std::uint32_t length = 0;
  // Too small, or no room at all: the size needed, nothing copied.
  for (std::uint8_t* room : {target.data(), static_cast<std::uint8_t*>(nullptr)}) {
    length = 0;
    EXPECT_EQ(ZevoDataCrypto::EncryptDataToBuffer(nullptr, data, 2500, room, room ? 2499 : 5000, &length),
              kCryptoBufferTooSmall);
    EXPECT_EQ(length, 2500u);
  }
  EXPECT_EQ(target[0], 0xee);
  EXPECT_EQ(ZevoDataCrypto::EncryptDataToBuffer(nullptr, data, 2500, target.data(), 2500, nullptr), kUnsupported);
  ASSERT_EQ(ZevoDataCrypto::EncryptDataToBuffer(nullptr, data, 2500, target.data(), 2500, &length), kCommonOk);
  EXPECT_EQ(std::string(target.begin(), target.end()), Rc4(kBuiltInKey, plain));
  EXPECT_EQ(ZevoDataCrypto::EncryptDataToBuffer(nullptr, nullptr, 3, target.data(), 2500, &length), kCryptoFailed);
  EXPECT_EQ(kCryptoFailed, static_cast<std::int32_t>(0xe018001au));
  EXPECT_EQ(kCryptoBufferTooSmall, static_cast<std::int32_t>(0xe018000du));
}

}  // namespace
}  // namespace zevo::util
