#include <openssl/evp.h>

#include <stdexcept>

#include "sha256.h"

namespace tarsk {

struct Sha256::State {
  EVP_MD_CTX* ctx = nullptr;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->ctx = EVP_MD_CTX_new();
  if (state_->ctx == nullptr || EVP_DigestInit_ex(state_->ctx, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(state_->ctx);
    throw std::runtime_error("SHA-256 unavailable");
  }
}

Sha256::~Sha256() { EVP_MD_CTX_free(state_->ctx); }

void Sha256::Update(const void* data, std::size_t size) {
  if (size != 0 && EVP_DigestUpdate(state_->ctx, data, size) != 1) {
    throw std::runtime_error("SHA-256 update failed");
  }
}

Digest Sha256::Final() {
  Digest digest{};
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(state_->ctx, digest.data(), &size) != 1 || size != digest.size()) {
    throw std::runtime_error("SHA-256 final failed");
  }
  return digest;
}

}  // namespace tarsk
