#include <windows.h>
#include <bcrypt.h>

#include <stdexcept>

#include "sha256.h"

namespace tarsk {

struct Sha256::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  ~State() {
    if (hash != nullptr) BCryptDestroyHash(hash);
    if (algorithm != nullptr) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !BCRYPT_SUCCESS(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0))) {
    throw std::runtime_error("SHA-256 unavailable");
  }
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, std::size_t size) {
  auto* bytes = static_cast<UCHAR*>(const_cast<void*>(data));  // CNG never writes input
  while (size != 0) {
    const ULONG chunk = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
    if (!BCRYPT_SUCCESS(BCryptHashData(state_->hash, bytes, chunk, 0))) {
      throw std::runtime_error("SHA-256 update failed");
    }
    bytes += chunk;
    size -= chunk;
  }
}

Digest Sha256::Final() {
  Digest digest{};
  if (!BCRYPT_SUCCESS(BCryptFinishHash(state_->hash, digest.data(), digest.size(), 0))) {
    throw std::runtime_error("SHA-256 final failed");
  }
  return digest;
}

}  // namespace tarsk
