// SHA-256 through the system's crypto library: OpenSSL libcrypto on POSIX,
// CNG (bcrypt) on Windows.
#ifndef TARSK_SHA256_H_
#define TARSK_SHA256_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tarsk {

using Digest = std::array<std::uint8_t, 32>;

// Incremental hash. Throws std::runtime_error when the crypto library fails.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const void* data, std::size_t size);
  Digest Final();  // once

 private:
  struct State;
  std::unique_ptr<State> state_;
};

Digest Sha256Of(std::string_view bytes);
std::string ToHex(const Digest& digest);

}  // namespace tarsk

#endif  // TARSK_SHA256_H_
