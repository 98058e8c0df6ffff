// Shared by the store tests: encrypted files written and read back.
#ifndef ZEVO_TESTS_UNIT_UTIL_STORE_STORE_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_UTIL_STORE_STORE_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "../log/log_test_support.h"
#include "../util_files/files_test_support.h"
#include "util/zevo_data_crypto.h"

namespace zevo::storetest {

namespace fs = std::filesystem;

using filestest::TempFolder;

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string Crypt(bool encrypt, std::string_view bytes, const char* password = nullptr) {
  util::CryptoBuffer buffer;
  std::uint32_t length = 0;
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto size = static_cast<std::uint32_t>(bytes.size());
  const bool ok = encrypt ? util::ZevoDataCrypto::EncryptData(password, data, size, buffer, length)
                          : util::ZevoDataCrypto::DecryptData(password, data, size, buffer, length);
  EXPECT_TRUE(ok);
  return ok ? std::string(reinterpret_cast<const char*>(buffer.get()), length) : std::string();
}

// Writes `plain` encrypted, as the store keeps it on disk.
inline void WriteConfig(const TempFolder& folder, std::u16string_view name, std::string_view plain) {
  folder.Write(fs::path(name), Crypt(/*encrypt=*/true, plain));
}

inline std::string ReadConfig(const TempFolder& folder, std::u16string_view name) {
  return Crypt(/*encrypt=*/false, folder.Read(fs::path(name)));
}

inline constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n";

}  // namespace zevo::storetest

#endif  // ZEVO_TESTS_UNIT_UTIL_STORE_STORE_TEST_SUPPORT_H_
