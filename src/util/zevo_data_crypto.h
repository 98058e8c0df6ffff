// The configuration file cipher: RC4 keyed with the MD5 digest of a
// password (built in unless the caller passes one). Encryption and
// decryption are the same operation and keep the length of the data.
//
// Safe for concurrent use: every call has its own provider context, key and
// buffers.
#ifndef ZEVO_UTIL_ZEVO_DATA_CRYPTO_H_
#define ZEVO_UTIL_ZEVO_DATA_CRYPTO_H_

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "zevo/result.h"

namespace zevo::util {

// EncryptDataToBuffer: encryption failed.
inline constexpr std::int32_t kCryptoFailed = detail::Code(0xe018001au);
// EncryptDataToBuffer: no target, or the result does not fit into it.
inline constexpr std::int32_t kCryptoBufferTooSmall = detail::Code(0xe018000du);

// The built-in password, hashed without its terminating NUL.
inline constexpr char kBuiltInPassword[] = "9E3B7A52-C61F-4d08-A2E4-71B5D03C8F96";

// Size of the work buffer; data passes through it in pieces of at most
// kCryptoPieceBytes.
inline constexpr std::uint32_t kCryptoWorkBufferBytes = 1008;
inline constexpr std::uint32_t kCryptoPieceBytes = 1000;

// Releases an output buffer (it comes from malloc).
struct CryptoBuffDeleter {
  void operator()(std::uint8_t* buffer) const noexcept { std::free(buffer); }
};

// An output buffer, shared, released by CryptoBuffDeleter.
using CryptoBuffer = std::shared_ptr<std::uint8_t>;

class ZevoDataCrypto {
 public:
  // `password`: NUL-terminated bytes, null for the built-in password.
  // On success `buffer` holds `outLength` bytes (an empty input gives
  // length 0). On failure the result is false and `buffer`/`outLength` are
  // not to be used. Failures are logged ("Util COMMON").
  static bool EncryptData(const char* password, const std::uint8_t* data, std::uint32_t length, CryptoBuffer& buffer,
                          std::uint32_t& outLength) noexcept;
  static bool DecryptData(const char* password, const std::uint8_t* data, std::uint32_t length, CryptoBuffer& buffer,
                          std::uint32_t& outLength) noexcept;

  // Encrypts into `target`: kCommonOk when the result fits into `capacity`
  // bytes; kUnsupported when `outLength` is null; kCryptoFailed when
  // encryption fails; kCryptoBufferTooSmall when `target` is null or too
  // small, with the needed length in *outLength.
  static std::int32_t EncryptDataToBuffer(const char* password, const std::uint8_t* data, std::uint32_t length,
                                          std::uint8_t* target, std::uint32_t capacity,
                                          std::uint32_t* outLength) noexcept;
};

}  // namespace zevo::util

#endif  // ZEVO_UTIL_ZEVO_DATA_CRYPTO_H_
