#include "os/md5_rc4.h"

#include <windows.h>
#include <wincrypt.h>

#include <new>
#include <string>

#include "os/system_error.h"

namespace zevo::os {

namespace {

constexpr wchar_t kProvider[] = L"Microsoft Enhanced Cryptographic Provider v1.0";
// Key length in bits in the upper 16 bits of the derivation flags; nothing
// else (no salt: the key is the digest itself).
constexpr DWORD kDeriveFlags = 128u << 16;

}  // namespace

struct Md5Rc4Session::State {
  HCRYPTPROV provider = 0;
  HCRYPTHASH hash = 0;
  HCRYPTKEY key = 0;

  ~State() {
    if (key != 0) CryptDestroyKey(key);
    if (hash != 0) CryptDestroyHash(hash);
    if (provider != 0) CryptReleaseContext(provider, /*dwFlags=*/0);
  }
};

Md5Rc4Session::Md5Rc4Session() noexcept = default;
Md5Rc4Session::~Md5Rc4Session() = default;

bool Md5Rc4Session::AcquireContext() noexcept {
  state_.reset(new (std::nothrow) State);
  if (!state_) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  return CryptAcquireContextW(&state_->provider, /*szContainer=*/nullptr, kProvider, PROV_RSA_FULL,
                              CRYPT_VERIFYCONTEXT) != FALSE;
}

bool Md5Rc4Session::CreateHash() noexcept {
  if (!state_ || state_->provider == 0) return false;
  return CryptCreateHash(state_->provider, CALG_MD5, /*hKey=*/0,
                         /*dwFlags=*/0, &state_->hash) != FALSE;
}

bool Md5Rc4Session::HashData(const std::uint8_t* data, std::uint32_t size) noexcept {
  if (!state_ || state_->hash == 0) return false;
  return CryptHashData(state_->hash, data, size, /*dwFlags=*/0) != FALSE;
}

bool Md5Rc4Session::DeriveKey() noexcept {
  if (!state_ || state_->hash == 0) return false;
  return CryptDeriveKey(state_->provider, CALG_RC4, state_->hash, kDeriveFlags, &state_->key) != FALSE;
}

bool Md5Rc4Session::DestroyHash() noexcept {
  if (!state_ || state_->hash == 0) return false;
  const BOOL ok = CryptDestroyHash(state_->hash);
  state_->hash = 0;  // not retried by the destructor either way
  return ok != FALSE;
}

bool Md5Rc4Session::EncryptedSize(std::uint32_t length, std::uint32_t* size) noexcept {
  if (!state_ || state_->key == 0 || size == nullptr) return false;
  DWORD needed = length;
  // Windows ignores the buffer length when asked for a size; wine's provider
  // answers it as the size of a stream cipher's output. Passing the input
  // length gives the true size from both.
  if (!CryptEncrypt(state_->key, /*hHash=*/0, /*Final=*/TRUE, /*dwFlags=*/0,
                    /*pbData=*/nullptr, &needed, /*dwBufLen=*/length)) {
    return false;
  }
  *size = needed;
  return true;
}

bool Md5Rc4Session::Crypt(bool encrypt, std::uint8_t* data, std::uint32_t* length, std::uint32_t capacity,
                          bool final) noexcept {
  if (!state_ || state_->key == 0 || length == nullptr || *length > capacity) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  DWORD size = *length;
  const BOOL ok = encrypt ? CryptEncrypt(state_->key, /*hHash=*/0, final, /*dwFlags=*/0, data, &size, capacity)
                          : CryptDecrypt(state_->key, /*hHash=*/0, final, /*dwFlags=*/0, data, &size);
  if (!ok) return false;
  *length = size;
  return true;
}

bool Md5Rc4Session::DestroyKey() noexcept {
  if (!state_ || state_->key == 0) return false;
  const BOOL ok = CryptDestroyKey(state_->key);
  state_->key = 0;
  return ok != FALSE;
}

bool Md5Rc4Session::ReleaseContext() noexcept {
  if (!state_ || state_->provider == 0) return false;
  const BOOL ok = CryptReleaseContext(state_->provider, /*dwFlags=*/0);
  state_->provider = 0;
  state_.reset();
  return ok != FALSE;
}

CryptoError LastCryptoError() {
  const auto code = static_cast<std::int32_t>(GetLastError());
  // ErrorText() gives "failed with error <code>: <message>"; keep the message.
  std::u16string message = ErrorText(code);
  const std::u16string prefix = FormatErrorText(code, u"");
  if (message.starts_with(prefix)) message.erase(0, prefix.size());
  return {code, message};
}

}  // namespace zevo::os
