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
#include <vector>

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

inline void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
inline void WriteConfig(const fs::path& path, std::string_view plain, const char* password = nullptr) {
  WriteBytes(path, Crypt(/*encrypt=*/true, plain, password));
}

inline std::string ReadConfig(const fs::path& path) { return Crypt(/*encrypt=*/false, ReadBytes(path)); }

inline constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n";

}  // namespace zevo::storetest

#endif  // ZEVO_TESTS_UNIT_UTIL_STORE_STORE_TEST_SUPPORT_H_
