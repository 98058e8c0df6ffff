#include "os/trust.h"

// clang-format off
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <mscat.h>
// clang-format on

#include <cstddef>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "os/win32/wide.h"

namespace zevo::os {

// The record sizes the trust and catalog calls are made with.
static_assert(sizeof(WINTRUST_DATA) == 80);
static_assert(sizeof(WINTRUST_FILE_INFO) == 32);
static_assert(sizeof(CATALOG_INFO) == 524);

// --- TrustFile ---------------------------------------------------------------

namespace {

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

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
  const DWORD saved = GetLastError();
  CloseHandle(AsHandle(handle_));
  SetLastError(saved);
  handle_ = kInvalid;
}

TrustFile TrustFile::Open(const std::u16string& path, std::int32_t& error) noexcept {
  HANDLE handle = INVALID_HANDLE_VALUE;
  try {
    const std::wstring wide = win32::ToWide(path);
    handle =
        CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ,
                    /*lpSecurityAttributes=*/nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, /*hTemplateFile=*/nullptr);
  } catch (const std::bad_alloc&) {
    error = ERROR_NOT_ENOUGH_MEMORY;
    return TrustFile();
  }
  if (handle == INVALID_HANDLE_VALUE) {
    error = static_cast<std::int32_t>(GetLastError());
    return TrustFile();
  }
  error = 0;
  return TrustFile(reinterpret_cast<std::intptr_t>(handle));
}

// --- Verification --------------------------------------------------------------

namespace {

// WINTRUST_ACTION_GENERIC_VERIFY_V2.
constexpr GUID kGenericVerifyV2 = {0x00AAC56B, 0xCD44, 0x11D0, {0x8C, 0xC2, 0x00, 0xC0, 0x4F, 0xC2, 0x95, 0xEE}};

}  // namespace

TrustVerdict VerifyFileTrust(const std::u16string& path, const TrustFile& file) noexcept {
  std::wstring wide;
  try {
    wide = win32::ToWide(path);
  } catch (const std::bad_alloc&) {
    return {kTrustSystemError, ERROR_NOT_ENOUGH_MEMORY};
  }
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof fileInfo;
  fileInfo.pcwszFilePath = wide.c_str();
  fileInfo.hFile = AsHandle(file.native());
  fileInfo.pgKnownSubject = nullptr;

  WINTRUST_DATA request{};
  request.cbStruct = sizeof request;
  request.dwUIChoice = WTD_UI_NONE;
  request.fdwRevocationChecks = WTD_REVOKE_NONE;
  request.dwUnionChoice = WTD_CHOICE_FILE;
  request.pFile = &fileInfo;
  request.dwStateAction = 0;  // verify and forget: no state to close
  request.dwProvFlags = WTD_REVOCATION_CHECK_NONE;

  GUID action = kGenericVerifyV2;
  const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &request);
  const DWORD lastError = GetLastError();
  return {static_cast<std::int32_t>(status), static_cast<std::int32_t>(lastError)};
}

// --- Signer name -----------------------------------------------------------------

namespace {

struct StoreCloser {
  void operator()(void* store) const noexcept { CertCloseStore(static_cast<HCERTSTORE>(store), /*dwFlags=*/0); }
};
struct MessageCloser {
  void operator()(void* message) const noexcept { CryptMsgClose(static_cast<HCRYPTMSG>(message)); }
};
struct CertificateFreer {
  void operator()(const CERT_CONTEXT* certificate) const noexcept { CertFreeCertificateContext(certificate); }
};

bool ReadSignerNameOrThrow(const std::u16string& path, std::u16string& name) {
  const std::wstring wide = win32::ToWide(path);
  HCERTSTORE rawStore = nullptr;
  HCRYPTMSG rawMessage = nullptr;
  if (!CryptQueryObject(CERT_QUERY_OBJECT_FILE, wide.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                        CERT_QUERY_FORMAT_FLAG_BINARY, /*dwFlags=*/0,
                        /*pdwMsgAndCertEncodingType=*/nullptr,
                        /*pdwContentType=*/nullptr, /*pdwFormatType=*/nullptr, &rawStore, &rawMessage,
                        /*ppvContext=*/nullptr)) {
    return false;
  }
  const std::unique_ptr<void, StoreCloser> store(rawStore);
  const std::unique_ptr<void, MessageCloser> message(rawMessage);

  DWORD size = 0;
  if (!CryptMsgGetParam(rawMessage, CMSG_SIGNER_INFO_PARAM, /*dwIndex=*/0, nullptr, &size) ||
      size < sizeof(CMSG_SIGNER_INFO)) {
    return false;
  }
  std::vector<BYTE> block(size, 0);  // new[] memory: aligned for the record
  if (!CryptMsgGetParam(rawMessage, CMSG_SIGNER_INFO_PARAM, 0, block.data(), &size)) {
    return false;
  }
  const auto* signer = reinterpret_cast<const CMSG_SIGNER_INFO*>(block.data());

  CERT_INFO wanted{};
  wanted.Issuer = signer->Issuer;
  wanted.SerialNumber = signer->SerialNumber;
  const std::unique_ptr<const CERT_CONTEXT, CertificateFreer> certificate(
      CertFindCertificateInStore(rawStore, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                 /*dwFindFlags=*/0, CERT_FIND_SUBJECT_CERT, &wanted, /*pPrevCertContext=*/nullptr));
  if (!certificate) return false;

  const DWORD length = CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE,
                                          /*dwFlags=*/0, /*pvTypePara=*/nullptr, nullptr, 0);
  if (length == 0) return false;
  std::vector<wchar_t> text(length, L'\0');
  if (CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, text.data(), length) == 0) {
    return false;
  }
  name = win32::FromWide(text.data());  // up to the terminator
  return true;
}

}  // namespace

bool ReadSignerName(const std::u16string& path, std::u16string& name) noexcept {
  try {
    return ReadSignerNameOrThrow(path, name);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// --- CatalogDatabase ---------------------------------------------------------------

struct CatalogDatabase::State {
  // The catalog functions, typed after their declarations and resolved by
  // name: they are not imported.
  decltype(&CryptCATAdminAcquireContext) acquire = nullptr;
  decltype(&CryptCATAdminCalcHashFromFileHandle) calcHash = nullptr;
  decltype(&CryptCATAdminEnumCatalogFromHash) enumFromHash = nullptr;
  decltype(&CryptCATCatalogInfoFromContext) catalogInfo = nullptr;
  decltype(&CryptCATAdminReleaseCatalogContext) releaseCatalog = nullptr;
  decltype(&CryptCATAdminReleaseContext) releaseAdmin = nullptr;

  HMODULE library = nullptr;
  HCATADMIN admin = nullptr;

  State() = default;
  State(const State&) = delete;
  State& operator=(const State&) = delete;

  ~State() {
    const DWORD saved = GetLastError();
    if (admin != nullptr && releaseAdmin != nullptr) {
      releaseAdmin(admin, /*dwFlags=*/0);
    }
    if (library != nullptr) FreeLibrary(library);
    SetLastError(saved);
  }

  template <class Function>
  bool Resolve(Function& function, const char* name) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return function != nullptr;
  }
};

CatalogDatabase::CatalogDatabase() noexcept = default;
CatalogDatabase::~CatalogDatabase() = default;
CatalogDatabase::CatalogDatabase(CatalogDatabase&&) noexcept = default;
CatalogDatabase& CatalogDatabase::operator=(CatalogDatabase&&) noexcept = default;

CatalogDatabase::OpenStatus CatalogDatabase::Open(std::int32_t& error) noexcept {
  error = 0;
  std::unique_ptr<State> state(new (std::nothrow) State);
  if (!state) return OpenStatus::kLibraryNotLoaded;
  // By name through the system loader. Wintrust.dll is one of the system's
  // known DLLs, so the name always resolves to the system's own copy.
  state->library = LoadLibraryW(L"Wintrust.dll");
  if (state->library == nullptr) return OpenStatus::kLibraryNotLoaded;
  if (!state->Resolve(state->acquire, "CryptCATAdminAcquireContext")) {
    return OpenStatus::kAcquireMissing;
  }
  // Resolved before the context is acquired: the state's destructor needs
  // it to give an acquired context back.
  state->Resolve(state->releaseAdmin, "CryptCATAdminReleaseContext");
  if (!state->acquire(&state->admin, /*pgSubsystem=*/nullptr, /*dwFlags=*/0)) {
    error = static_cast<std::int32_t>(GetLastError());
    state->admin = nullptr;
    return OpenStatus::kAcquireFailed;
  }
  const bool complete = state->Resolve(state->calcHash, "CryptCATAdminCalcHashFromFileHandle") &&
                        state->Resolve(state->enumFromHash, "CryptCATAdminEnumCatalogFromHash") &&
                        state->Resolve(state->catalogInfo, "CryptCATCatalogInfoFromContext") &&
                        state->Resolve(state->releaseCatalog, "CryptCATAdminReleaseCatalogContext") &&
                        state->releaseAdmin != nullptr;
  if (!complete) return OpenStatus::kFunctionMissing;
  state_ = std::move(state);
  return OpenStatus::kOk;
}

CatalogDatabase::Lookup CatalogDatabase::Find(const TrustFile& file, std::u16string& catalogPath,
                                              std::int32_t& error) noexcept {
  error = 0;
  if (!state_) return Lookup::kNoHash;
  BYTE hash[32] = {};
  DWORD hashSize = sizeof hash;
  if (!state_->calcHash(AsHandle(file.native()), &hashSize, hash,
                        /*dwFlags=*/0)) {
    error = static_cast<std::int32_t>(GetLastError());
    return Lookup::kNoHash;
  }
  HCATINFO catalog = state_->enumFromHash(state_->admin, hash, hashSize,
                                          /*dwFlags=*/0,
                                          /*phPrevCatInfo=*/nullptr);
  if (catalog == nullptr) {
    error = static_cast<std::int32_t>(GetLastError());
    return Lookup::kNotListed;
  }
  CATALOG_INFO info{};
  info.cbStruct = sizeof info;
  Lookup result = Lookup::kFound;
  if (state_->catalogInfo(catalog, &info, /*dwFlags=*/0)) {
    try {
      const std::size_t length = std::wstring_view(info.wszCatalogFile, std::size(info.wszCatalogFile)).find(L'\0');
      catalogPath = win32::FromWide(
          {info.wszCatalogFile, length == std::wstring_view::npos ? std::size(info.wszCatalogFile) : length});
    } catch (const std::bad_alloc&) {
      error = ERROR_NOT_ENOUGH_MEMORY;
      result = Lookup::kNoCatalogInfo;
    }
  } else {
    error = static_cast<std::int32_t>(GetLastError());
    result = Lookup::kNoCatalogInfo;
  }
  state_->releaseCatalog(state_->admin, catalog, /*dwFlags=*/0);
  return result;
}

}  // namespace zevo::os
