// Code-signature trust checks of files: whether a file's own signature is
// trusted, who signed it, and whether the system's catalog database lists
// the file.
//
// Windows: WinVerifyTrust with the generic verify v2 policy (no user
// interface, no revocation checks) on the file's embedded signature; the
// signer name from the embedded PKCS #7 message (CryptQueryObject,
// CryptMsgGetParam, CertFindCertificateInStore, CertGetNameStringW); the
// catalog database through the six CryptCAT* functions of "Wintrust.dll",
// which a CatalogDatabase loads by name and unloads again when it goes.
//
// POSIX: a file's signature is a detached DER CMS (PKCS #7) signed-data
// message in "<file>.p7s" beside it. The file is trusted when OpenSSL's
// CMS_verify accepts that message over the file's bytes as binary content,
// with the signer's chain built to a CA of the trust store, and the signer
// certificate is fit for code signing (no extended key usage, or one that
// lists code signing or any usage). The trust store is the certificate file,
// or the folder in OpenSSL's hashed layout (`openssl rehash`), named by the
// environment variable ZEVO_TRUST_STORE; without it, OpenSSL's default
// system store. The signer name is the signer certificate's common name.
// There is no catalog database on POSIX: a CatalogDatabase opens, and every
// lookup reports that no catalog lists the file (kNotListed, ENOENT).
// All OpenSSL work happens in a private OSSL_LIB_CTX made for each call; the
// process's global OpenSSL state and the calling thread's OpenSSL error
// queue are left as they were.
//
// Every function here is safe for concurrent use on distinct objects.
#ifndef ZEVO_OS_TRUST_H_
#define ZEVO_OS_TRUST_H_

#include <cstdint>
#include <memory>
#include <string>

namespace zevo::os {

// Verification statuses (Windows HRESULT values; POSIX reports the same
// values for the same situations).
inline constexpr std::int32_t kTrustOk = 0;
// TRUST_E_NOSIGNATURE: the file carries no signature (POSIX: no .p7s).
inline constexpr std::int32_t kTrustNoSignature = static_cast<std::int32_t>(0x800B0100u);
// TRUST_E_SUBJECT_FORM_UNKNOWN: the signature's form is not understood
// (POSIX: the .p7s is not a detached CMS signed-data message).
inline constexpr std::int32_t kTrustSubjectFormUnknown = static_cast<std::int32_t>(0x800B0003u);
// TRUST_E_PROVIDER_UNKNOWN.
inline constexpr std::int32_t kTrustProviderUnknown = static_cast<std::int32_t>(0x800B0001u);
// TRUST_E_BAD_DIGEST: the file is not what was signed.
inline constexpr std::int32_t kTrustBadDigest = static_cast<std::int32_t>(0x80096010u);
// CERT_E_CHAINING: no chain to a trusted root.
inline constexpr std::int32_t kTrustNoChain = static_cast<std::int32_t>(0x800B010Au);
// CERT_E_WRONG_USAGE: the signer certificate is not for code signing.
inline constexpr std::int32_t kTrustWrongUsage = static_cast<std::int32_t>(0x800B0110u);
// TRUST_E_SYSTEM_ERROR: the check itself could not run (POSIX: the file or
// the trust store could not be read, or OpenSSL failed).
inline constexpr std::int32_t kTrustSystemError = static_cast<std::int32_t>(0x80096001u);

// A file opened for reading for trust checks. Move-only; closes on
// destruction. Windows: CreateFileW(GENERIC_READ, FILE_SHARE_READ,
// OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL). POSIX: open(O_RDONLY); a folder is
// refused (EISDIR) as Windows refuses it.
class TrustFile {
 public:
  TrustFile() noexcept = default;
  ~TrustFile();
  TrustFile(TrustFile&& other) noexcept;
  TrustFile& operator=(TrustFile&& other) noexcept;
  TrustFile(const TrustFile&) = delete;
  TrustFile& operator=(const TrustFile&) = delete;

  // On failure the result is not open and `error` holds the system error
  // code (GetLastError / errno); on success `error` is 0.
  static TrustFile Open(const std::u16string& path, std::int32_t& error) noexcept;

  bool IsOpen() const noexcept { return handle_ != kInvalid; }

  // HANDLE on Windows, the descriptor on POSIX.
  std::intptr_t native() const noexcept { return handle_; }

 private:
  static constexpr std::intptr_t kInvalid = -1;
  explicit TrustFile(std::intptr_t handle) noexcept : handle_(handle) {}
  void Close() noexcept;

  std::intptr_t handle_ = kInvalid;
};

struct TrustVerdict {
  std::int32_t status;     // kTrustOk when the signature is trusted
  std::int32_t lastError;  // the thread's last error right after the check;
                           // POSIX: the status again
};

// Verifies the signature of the file at `path`, opened as `file`.
// REQUIRES: file.IsOpen() and `file` is the file at `path`.
TrustVerdict VerifyFileTrust(const std::u16string& path, const TrustFile& file) noexcept;

// The display name of the signer of the signed file (on Windows also a
// catalog file) at `path`. The signature is read, not verified. False, with
// `name` unchanged, when the file has no readable signer name.
bool ReadSignerName(const std::u16string& path, std::u16string& name) noexcept;

// The system's catalog database for one series of lookups. Move-only; the
// administrator context and the library are released on destruction.
class CatalogDatabase {
 public:
  enum class OpenStatus {
    kOk,
    kLibraryNotLoaded,  // "Wintrust.dll" could not be loaded
    kAcquireMissing,    // CryptCATAdminAcquireContext not found
    kAcquireFailed,     // the administrator context was refused
    kFunctionMissing,   // one of the five other functions not found
  };
  enum class Lookup {
    kNoHash,         // the file's catalog hash could not be computed
    kNotListed,      // no catalog holds the hash
    kNoCatalogInfo,  // a catalog holds it, but its path could not be read
    kFound,          // `catalogPath` names the first catalog holding it
  };

  CatalogDatabase() noexcept;
  ~CatalogDatabase();
  CatalogDatabase(CatalogDatabase&& other) noexcept;
  CatalogDatabase& operator=(CatalogDatabase&& other) noexcept;
  CatalogDatabase(const CatalogDatabase&) = delete;
  CatalogDatabase& operator=(const CatalogDatabase&) = delete;

  // Windows: loads "Wintrust.dll", resolves CryptCATAdminAcquireContext,
  // acquires the administrator context (no subsystem, flags 0), then
  // resolves the five others. On kAcquireFailed `error` holds the system
  // error code, else 0. Whatever was obtained is released on failure.
  // REQUIRES: not yet opened.
  OpenStatus Open(std::int32_t& error) noexcept;

  // Finds the first catalog that lists the file's hash. `error` holds the
  // system error code of a failed step (kNoHash, kNotListed,
  // kNoCatalogInfo), else 0.
  // REQUIRES: Open() returned kOk; file.IsOpen().
  Lookup Find(const TrustFile& file, std::u16string& catalogPath, std::int32_t& error) noexcept;

 private:
  struct State;  // per platform
  std::unique_ptr<State> state_;
};

}  // namespace zevo::os

#endif  // ZEVO_OS_TRUST_H_
