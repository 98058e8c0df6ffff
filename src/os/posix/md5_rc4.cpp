#include "os/md5_rc4.h"

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cerrno>
#include <new>
#include <string>
#include <string_view>

#include "os/system_error.h"
#include "os/text.h"

namespace zevo::os {

namespace {

// The module's own library context with MD5 and RC4 fetched from it. RC4
// lives in the legacy provider, which a default context does not load, and
// loading it there would change the host's OpenSSL state; hence a private
// context. Built on first use, freed when the module is unloaded (a
// function-local static constructed after OpenSSL's own initialisation, so
// destroyed before OpenSSL's exit handler runs).
class PrivateLibrary {
 public:
  PrivateLibrary() {
    context_ = OSSL_LIB_CTX_new();
    if (context_ == nullptr) return;
    default_ = OSSL_PROVIDER_load(context_, "default");
    legacy_ = OSSL_PROVIDER_load(context_, "legacy");
    if (default_ == nullptr || legacy_ == nullptr) return;
    md5_ = EVP_MD_fetch(context_, "MD5", /*properties=*/nullptr);
    rc4_ = EVP_CIPHER_fetch(context_, "RC4", /*properties=*/nullptr);
  }
  ~PrivateLibrary() {
    EVP_CIPHER_free(rc4_);
    EVP_MD_free(md5_);
    if (legacy_ != nullptr) OSSL_PROVIDER_unload(legacy_);
    if (default_ != nullptr) OSSL_PROVIDER_unload(default_);
    OSSL_LIB_CTX_free(context_);
  }
  PrivateLibrary(const PrivateLibrary&) = delete;
  PrivateLibrary& operator=(const PrivateLibrary&) = delete;

  bool ready() const { return md5_ != nullptr && rc4_ != nullptr; }
  const EVP_MD* md5() const { return md5_; }
  const EVP_CIPHER* rc4() const { return rc4_; }

 private:
  OSSL_LIB_CTX* context_ = nullptr;
  OSSL_PROVIDER* default_ = nullptr;
  OSSL_PROVIDER* legacy_ = nullptr;
  EVP_MD* md5_ = nullptr;
  EVP_CIPHER* rc4_ = nullptr;
};

const PrivateLibrary* Library() {
  static const PrivateLibrary library;  // thread-safe initialisation
  return library.ready() ? &library : nullptr;
}

// The newest OpenSSL error that the calling thread's last step added when it
// failed; 0 when it added none or succeeded. Trivially destructible: nothing
// of it outlives the module.
thread_local unsigned long lastStepError = 0;

// Runs one step with the thread's OpenSSL error queue, which the host shares,
// left as the step found it: what the step adds is dropped, its newest entry
// kept for LastCryptoError() when the step fails. An entry of our own is put
// on top first, so that an entry of the host is never taken for the step's.
template <class Step>
bool RunStep(Step step) noexcept {
  ERR_set_mark();  // an empty queue takes no mark: the pop then empties it
  ERR_raise(ERR_LIB_USER, /*reason=*/1);
  const unsigned long start = ERR_peek_last_error();
  const bool ok = step();
  const int savedErrno = errno;
  const unsigned long newest = ERR_peek_last_error();
  lastStepError = ok || newest == start ? 0 : newest;
  ERR_pop_to_mark();
  errno = savedErrno;
  return ok;
}

struct MdContextFree {
  void operator()(EVP_MD_CTX* c) const noexcept { EVP_MD_CTX_free(c); }
};
struct CipherContextFree {
  void operator()(EVP_CIPHER_CTX* c) const noexcept { EVP_CIPHER_CTX_free(c); }
};

}  // namespace

struct Md5Rc4Session::State {
  const PrivateLibrary* library = nullptr;
  std::unique_ptr<EVP_MD_CTX, MdContextFree> hash;
  std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> cipher;
  unsigned char key[kMd5Rc4KeyBytes] = {};

  ~State() { OPENSSL_cleanse(key, sizeof key); }

  bool StartCipher() {
    return EVP_CipherInit_ex2(cipher.get(), library->rc4(), key,
                              /*iv=*/nullptr, /*enc=*/1,
                              /*params=*/nullptr) == 1;
  }
};

Md5Rc4Session::Md5Rc4Session() noexcept = default;
Md5Rc4Session::~Md5Rc4Session() = default;

bool Md5Rc4Session::AcquireContext() noexcept {
  return RunStep([&]() -> bool {
    const PrivateLibrary* library = Library();
    if (library == nullptr) return false;
    state_.reset(new (std::nothrow) State);
    if (!state_) {
      errno = ENOMEM;
      return false;
    }
    state_->library = library;
    return true;
  });
}

bool Md5Rc4Session::CreateHash() noexcept {
  return RunStep([&]() -> bool {
    if (!state_) return false;
    state_->hash.reset(EVP_MD_CTX_new());
    return state_->hash && EVP_DigestInit_ex2(state_->hash.get(), state_->library->md5(),
                                              /*params=*/nullptr) == 1;
  });
}

bool Md5Rc4Session::HashData(const std::uint8_t* data, std::uint32_t size) noexcept {
  return RunStep([&]() -> bool {
    if (!state_ || !state_->hash) return false;
    return EVP_DigestUpdate(state_->hash.get(), data, size) == 1;
  });
}

bool Md5Rc4Session::DeriveKey() noexcept {
  return RunStep([&]() -> bool {
    if (!state_ || !state_->hash) return false;
    // A finished MD5 context cannot hash again, as a CryptoAPI hash that has
    // been used for a key cannot; the digest is the whole 128-bit key.
    unsigned int digestSize = 0;
    if (EVP_DigestFinal_ex(state_->hash.get(), state_->key, &digestSize) != 1 || digestSize != kMd5Rc4KeyBytes) {
      return false;
    }
    state_->cipher.reset(EVP_CIPHER_CTX_new());
    return state_->cipher && state_->StartCipher();
  });
}

bool Md5Rc4Session::DestroyHash() noexcept {
  return RunStep([&]() -> bool {
    if (!state_ || !state_->hash) return false;
    state_->hash.reset();
    return true;
  });
}

bool Md5Rc4Session::EncryptedSize(std::uint32_t length, std::uint32_t* size) noexcept {
  return RunStep([&]() -> bool {
    if (!state_ || !state_->cipher || size == nullptr) return false;
    *size = length;  // a stream cipher: as long as its input
    return true;
  });
}

bool Md5Rc4Session::Crypt(bool /*encrypt*/, std::uint8_t* data, std::uint32_t* length, std::uint32_t capacity,
                          bool final) noexcept {
  return RunStep([&]() -> bool {
    if (!state_ || !state_->cipher || length == nullptr || *length > capacity || (data == nullptr && *length != 0)) {
      errno = EINVAL;
      return false;
    }
    // RC4 is its own inverse: both directions are the same update, in place.
    int written = 0;
    if (*length != 0 && EVP_CipherUpdate(state_->cipher.get(), data, &written, data, static_cast<int>(*length)) != 1) {
      return false;
    }
    if (static_cast<std::uint32_t>(written) != *length) return false;
    return !final || state_->StartCipher();
  });
}

bool Md5Rc4Session::DestroyKey() noexcept {
  return RunStep([&]() -> bool {
    if (!state_ || !state_->cipher) return false;
    state_->cipher.reset();
    OPENSSL_cleanse(state_->key, sizeof state_->key);
    return true;
  });
}

bool Md5Rc4Session::ReleaseContext() noexcept {
  return RunStep([&]() -> bool {
    if (!state_) return false;
    state_.reset();
    return true;
  });
}

CryptoError LastCryptoError() {
  const int savedErrno = errno;
  const unsigned long sslError = lastStepError;
  if (sslError != 0) {
    char text[256] = {};
    ERR_error_string_n(sslError, text, sizeof text);
    return {static_cast<std::int32_t>(sslError), Utf8ToUtf16(text)};
  }
  // ErrorText() gives "failed with error <code>: <message>"; keep the message.
  std::u16string message = ErrorText(savedErrno);
  const std::u16string prefix = FormatErrorText(savedErrno, u"");
  if (message.starts_with(prefix)) message.erase(0, prefix.size());
  return {savedErrno, message};
}

}  // namespace zevo::os
