#include "os/trust.h"

#include <fcntl.h>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/provider.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "os/text.h"

namespace zevo::os {

// --- TrustFile ---------------------------------------------------------------

TrustFile::~TrustFile() { Close(); }

TrustFile::TrustFile(TrustFile&& other) noexcept : handle_(std::exchange(other.handle_, kInvalid)) {}

TrustFile& TrustFile::operator=(TrustFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kInvalid);
  }
  return *this;
}

void TrustFile::Close() noexcept {
  if (handle_ == kInvalid) return;
  const int saved = errno;
  close(static_cast<int>(handle_));
  errno = saved;
  handle_ = kInvalid;
}

TrustFile TrustFile::Open(const std::u16string& path, std::int32_t& error) noexcept {
  if (path.empty() || path.find(u'\0') != std::u16string::npos) {
    error = ENOENT;
    return TrustFile();
  }
  int fd = -1;
  try {
    fd = open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
    return TrustFile();
  }
  if (fd < 0) {
    error = errno;
    return TrustFile();
  }
  TrustFile file(fd);
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    return TrustFile();  // `file` closes the descriptor
  }
  error = 0;
  return file;
}

namespace {

// --- OpenSSL owners ------------------------------------------------------------

struct OpenSslFree {
  void operator()(BIO* p) const noexcept { BIO_free_all(p); }
  void operator()(CMS_ContentInfo* p) const noexcept { CMS_ContentInfo_free(p); }
  void operator()(X509_STORE* p) const noexcept { X509_STORE_free(p); }
  void operator()(STACK_OF(X509) * p) const noexcept { sk_X509_free(p); }
};
template <class T>
using Owned = std::unique_ptr<T, OpenSslFree>;

// Keeps the calling thread's OpenSSL error queue as it was found: whatever
// the checks below add is dropped when this goes.
class ErrorQueueMark {
 public:
  ErrorQueueMark() noexcept { ERR_set_mark(); }
  ~ErrorQueueMark() { ERR_pop_to_mark(); }
  ErrorQueueMark(const ErrorQueueMark&) = delete;
  ErrorQueueMark& operator=(const ErrorQueueMark&) = delete;
};

// A private library context with the default provider loaded into it, so
// that nothing the checks fetch or configure touches the process's global
// context. Declare it before any object made in it: they must go first.
class PrivateLibrary {
 public:
  PrivateLibrary() noexcept
      : context_(OSSL_LIB_CTX_new()),
        provider_(context_ != nullptr ? OSSL_PROVIDER_load(context_, "default") : nullptr) {}
  ~PrivateLibrary() {
    if (provider_ != nullptr) OSSL_PROVIDER_unload(provider_);
    OSSL_LIB_CTX_free(context_);
  }
  PrivateLibrary(const PrivateLibrary&) = delete;
  PrivateLibrary& operator=(const PrivateLibrary&) = delete;

  bool IsReady() const noexcept { return provider_ != nullptr; }
  OSSL_LIB_CTX* context() const noexcept { return context_; }

 private:
  OSSL_LIB_CTX* const context_;
  OSSL_PROVIDER* const provider_;
};

// The UTF-8 path of the detached signature of the file at `path`.
std::string SignaturePath(const std::u16string& path) { return Utf16ToUtf8(path) + ".p7s"; }

// Reads "<path>.p7s" as a DER CMS message made in `library`. Null with
// `status` set when there is none or it is not a detached signed-data
// message.
Owned<CMS_ContentInfo> LoadSignature(const PrivateLibrary& library, const std::u16string& path, std::int32_t& status) {
  const Owned<BIO> input(BIO_new_file(SignaturePath(path).c_str(), "rb"));
  if (!input) {
    status = kTrustNoSignature;
    return nullptr;
  }
  // Decoding into an object made in the private context keeps every later
  // fetch (digests, signature algorithms, the chain check) in that context.
  CMS_ContentInfo* raw = CMS_ContentInfo_new_ex(library.context(), nullptr);
  if (raw == nullptr) {
    status = kTrustSystemError;
    return nullptr;
  }
  if (d2i_CMS_bio(input.get(), &raw) == nullptr) {
    CMS_ContentInfo_free(raw);  // null already when decoding freed it
    status = kTrustSubjectFormUnknown;
    return nullptr;
  }
  Owned<CMS_ContentInfo> message(raw);
  if (OBJ_obj2nid(CMS_get0_type(message.get())) != NID_pkcs7_signed || CMS_is_detached(message.get()) != 1) {
    status = kTrustSubjectFormUnknown;
    return nullptr;
  }
  return message;
}

// The CA store: the file or hashed folder named by ZEVO_TRUST_STORE, else
// OpenSSL's default system locations.
Owned<X509_STORE> LoadTrustStore(const PrivateLibrary& library) {
  Owned<X509_STORE> store(X509_STORE_new());
  if (!store) return nullptr;
  const char* named = std::getenv("ZEVO_TRUST_STORE");
  int loaded = 0;
  if (named == nullptr || *named == '\0') {
    loaded = X509_STORE_set_default_paths_ex(store.get(), library.context(),
                                             /*propq=*/nullptr);
  } else {
    struct stat info {};
    if (stat(named, &info) != 0) return nullptr;
    loaded = S_ISDIR(info.st_mode) ? X509_STORE_load_path(store.get(), named)
                                   : X509_STORE_load_file_ex(store.get(), named, library.context(), nullptr);
  }
  if (loaded != 1) return nullptr;
  // Any purpose for the chain itself: code signing is checked on the signer
  // below, which the S/MIME default of CMS_verify would refuse.
  X509_STORE_set_purpose(store.get(), X509_PURPOSE_ANY);
  return store;
}

// No extended key usage, or one that allows code signing; no key usage, or
// one that allows signatures.
bool IsFitForCodeSigning(X509* signer) {
  const std::uint32_t extended = X509_get_extended_key_usage(signer);
  const std::uint32_t usage = X509_get_key_usage(signer);
  const bool extendedOk = (extended & (XKU_CODE_SIGN | XKU_ANYEKU)) != 0;
  const bool usageOk = (usage & KU_DIGITAL_SIGNATURE) != 0;
  return extendedOk && usageOk;  // both are all ones when absent
}

// What a failed CMS_verify means, from the reason OpenSSL recorded.
std::int32_t StatusOfFailedVerify() {
  const unsigned long error = ERR_peek_last_error();
  if (ERR_GET_LIB(error) != ERR_LIB_CMS) return kTrustBadDigest;
  switch (ERR_GET_REASON(error)) {
    case CMS_R_CERTIFICATE_VERIFY_ERROR:
      return kTrustNoChain;
    case CMS_R_SIGNER_CERTIFICATE_NOT_FOUND:
    case CMS_R_NO_SIGNERS:
      return kTrustSubjectFormUnknown;
    default:
      return kTrustBadDigest;
  }
}

std::int32_t Verify(const std::u16string& path, int fd) {
  const PrivateLibrary library;
  if (!library.IsReady()) return kTrustSystemError;
  std::int32_t status = kTrustOk;
  const Owned<CMS_ContentInfo> message = LoadSignature(library, path, status);
  if (!message) return status;
  const Owned<X509_STORE> store = LoadTrustStore(library);
  if (!store) return kTrustSystemError;
  if (lseek(fd, 0, SEEK_SET) != 0) return kTrustSystemError;
  const Owned<BIO> content(BIO_new_fd(fd, BIO_NOCLOSE));
  if (!content) return kTrustSystemError;

  if (CMS_verify(message.get(), /*certs=*/nullptr, store.get(), content.get(),
                 /*out=*/nullptr, CMS_BINARY) != 1) {
    return StatusOfFailedVerify();
  }
  const Owned<STACK_OF(X509)> signers(CMS_get0_signers(message.get()));
  if (!signers || sk_X509_num(signers.get()) < 1) return kTrustBadDigest;
  for (int i = 0; i < sk_X509_num(signers.get()); ++i) {
    if (!IsFitForCodeSigning(sk_X509_value(signers.get(), i))) {
      return kTrustWrongUsage;
    }
  }
  return kTrustOk;
}

// The common name of `certificate`, when it has one.
bool CommonName(X509* certificate, std::u16string& name) {
  const X509_NAME* subject = X509_get_subject_name(certificate);
  const int index = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
  if (index < 0) return false;
  const ASN1_STRING* data = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, index));
  unsigned char* utf8 = nullptr;
  const int length = ASN1_STRING_to_UTF8(&utf8, data);
  if (length < 0) return false;
  const std::unique_ptr<unsigned char, void (*)(unsigned char*)> owner(utf8, [](unsigned char* p) { OPENSSL_free(p); });
  name = Utf8ToUtf16({reinterpret_cast<const char*>(utf8), static_cast<std::size_t>(length)});
  return true;
}

// The first signer's certificate among the message's certificates, matched
// by issuer and serial number (or key id) as Windows finds it.
bool ReadFirstSignerName(const std::u16string& path, std::u16string& name) {
  const PrivateLibrary library;
  if (!library.IsReady()) return false;
  std::int32_t status = kTrustOk;
  const Owned<CMS_ContentInfo> message = LoadSignature(library, path, status);
  if (!message) return false;
  STACK_OF(CMS_SignerInfo)* infos = CMS_get0_SignerInfos(message.get());
  if (infos == nullptr || sk_CMS_SignerInfo_num(infos) < 1) return false;
  CMS_SignerInfo* first = sk_CMS_SignerInfo_value(infos, 0);
  // CMS_get1_certs hands out references: free them with the stack.
  const std::unique_ptr<STACK_OF(X509), void (*)(STACK_OF(X509)*)> certs(
      CMS_get1_certs(message.get()), [](STACK_OF(X509) * s) { sk_X509_pop_free(s, X509_free); });
  if (!certs) return false;
  for (int i = 0; i < sk_X509_num(certs.get()); ++i) {
    X509* candidate = sk_X509_value(certs.get(), i);
    if (CMS_SignerInfo_cert_cmp(first, candidate) == 0) {
      std::u16string found;
      if (!CommonName(candidate, found)) return false;
      name = std::move(found);
      return true;
    }
  }
  return false;
}

}  // namespace

// --- Verification and signer ---------------------------------------------------

TrustVerdict VerifyFileTrust(const std::u16string& path, const TrustFile& file) noexcept {
  const ErrorQueueMark mark;
  std::int32_t status = kTrustSystemError;
  try {
    status = Verify(path, static_cast<int>(file.native()));
  } catch (const std::bad_alloc&) {
  }
  return {status, status};
}

bool ReadSignerName(const std::u16string& path, std::u16string& name) noexcept {
  const ErrorQueueMark mark;
  try {
    return ReadFirstSignerName(path, name);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// --- CatalogDatabase: none on POSIX ---------------------------------------------

struct CatalogDatabase::State {};

CatalogDatabase::CatalogDatabase() noexcept = default;
CatalogDatabase::~CatalogDatabase() = default;
CatalogDatabase::CatalogDatabase(CatalogDatabase&&) noexcept = default;
CatalogDatabase& CatalogDatabase::operator=(CatalogDatabase&&) noexcept = default;

CatalogDatabase::OpenStatus CatalogDatabase::Open(std::int32_t& error) noexcept {
  error = 0;
  return OpenStatus::kOk;
}

CatalogDatabase::Lookup CatalogDatabase::Find(const TrustFile& /*file*/, std::u16string& /*catalogPath*/,
                                              std::int32_t& error) noexcept {
  error = ENOENT;
  return Lookup::kNotListed;
}

}  // namespace zevo::os
