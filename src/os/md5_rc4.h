// MD5 and RC4: the primitives of the configuration file cipher, as a session
// whose steps mirror the Windows cryptographic provider's calls one by one,
// so that a caller can name the step that failed.
//
// The key is RC4 keyed with the 16-byte MD5 digest of the hashed bytes
// (128 bits, no salt). Both platforms produce the same bytes:
//   Windows: CryptoAPI, "Microsoft Enhanced Cryptographic Provider v1.0".
//   POSIX:   OpenSSL libcrypto; MD5 and RC4 are fetched from a library
//            context private to this module with the default and legacy
//            providers loaded into it. The process's global OpenSSL state
//            (default context, its providers) is never changed.
#ifndef ZEVO_OS_MD5_RC4_H_
#define ZEVO_OS_MD5_RC4_H_

#include <cstdint>
#include <memory>
#include <string>

namespace zevo::os {

// Length of the MD5 digest, which is the RC4 key.
inline constexpr std::uint32_t kMd5Rc4KeyBytes = 16;

// One provider context, hash and key. Each step returns false on failure;
// LastCryptoError() then describes it. Whatever is still held is released
// by the destructor. Not safe for concurrent use; separate sessions may run
// on separate threads.
class Md5Rc4Session {
 public:
  Md5Rc4Session() noexcept;
  ~Md5Rc4Session();

  Md5Rc4Session(const Md5Rc4Session&) = delete;
  Md5Rc4Session& operator=(const Md5Rc4Session&) = delete;

  bool AcquireContext() noexcept;
  // REQUIRES: AcquireContext() succeeded.
  bool CreateHash() noexcept;
  bool HashData(const std::uint8_t* data, std::uint32_t size) noexcept;
  // RC4 key of 128 bits from the hash value.
  bool DeriveKey() noexcept;
  bool DestroyHash() noexcept;

  // The output size of encrypting `length` bytes as one final piece.
  // REQUIRES: DeriveKey() succeeded.
  bool EncryptedSize(std::uint32_t length, std::uint32_t* size) noexcept;

  // Encrypts or decrypts *length bytes of `data` in place (`capacity` is the
  // room in `data`) and sets *length to the output size. RC4 carries its
  // state from piece to piece; after a `final` piece the key starts over.
  bool Crypt(bool encrypt, std::uint8_t* data, std::uint32_t* length, std::uint32_t capacity, bool final) noexcept;

  bool DestroyKey() noexcept;
  bool ReleaseContext() noexcept;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The failure of the calling thread's last Md5Rc4Session step (or of a
// failed allocation): the system's error code and message (POSIX: the newest
// OpenSSL error that the failed step added, else errno). The message is as
// the system gives it, possibly empty. Throws only std::bad_alloc.
// POSIX: the thread's OpenSSL error queue belongs to the host as well; every
// step leaves it as it found it, and this call does not touch it.
struct CryptoError {
  std::int32_t code;
  std::u16string message;
};
CryptoError LastCryptoError();

}  // namespace zevo::os

#endif  // ZEVO_OS_MD5_RC4_H_
