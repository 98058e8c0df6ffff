// The single-file check, CheckFileSignature.
#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include "log/logging.h"
#include "os/tick_count.h"
#include "os/trust.h"
#include "util/file_signature.h"
#include "util/file_signature_shared.h"
#include "util/self_protection.h"

namespace zevo::util {

namespace {

using signing::CopyTerminated;
using signing::kLog;
using signing::LengthOf;
using signing::SignedByCatalog;

// The single-file check trusts everything this early after system start.
constexpr std::uint64_t kStartupGraceMs = 120000;

}  // namespace

bool ReadSignerName(const std::u16string& path, std::u16string& name) noexcept {
  return os::ReadSignerName(path, name);
}

namespace {

// Logs why the file's own signature was not accepted.
void LogRefusal(const std::u16string& path, const os::TrustVerdict& verdict) {
  if (verdict.status != os::kTrustNoSignature) {
    ZLOG(kLog, logging::kLevelInfo, u"Unsigned file! file=", path, u", lStatus=", verdict.status);
    return;
  }
  const std::int32_t error = verdict.lastError;
  const bool known =
      error == os::kTrustNoSignature || error == os::kTrustSubjectFormUnknown || error == os::kTrustProviderUnknown;
  ZLOG(kLog, logging::kLevelInfo, known ? u"Unsigned file! file=" : u"Unknown error! file=", path, u", dwLastErr=",
       error);
}

// The catalog step of the single-file check; 0, or the status to return.
std::int32_t CheckCatalogForOne(const os::TrustFile& file, std::u16string& signer, bool& isSigned) {
  os::CatalogDatabase catalogs;
  std::int32_t error = 0;
  switch (catalogs.Open(error)) {
    case os::CatalogDatabase::OpenStatus::kOk:
      break;
    case os::CatalogDatabase::OpenStatus::kLibraryNotLoaded:
      ZLOG(kLog, logging::kLevelInfo, u"Wintrust.dll load fail! ");
      return kSignNoTrustLibrary;
    case os::CatalogDatabase::OpenStatus::kAcquireMissing:
    case os::CatalogDatabase::OpenStatus::kFunctionMissing:
      ZLOG(kLog, logging::kLevelInfo, u"GetProcAddress fail! ");
      return kSignNoTrustLibrary;
    case os::CatalogDatabase::OpenStatus::kAcquireFailed:
      ZLOG(kLog, logging::kLevelInfo, u" CryptCATAdminAcquireContext fail! ", error);
      return kSignNoCatalogAdmin;
  }
  std::int32_t recordedError = 0;
  bool infoFailed = false;
  std::int32_t infoError = 0;
  isSigned = SignedByCatalog(catalogs, file, signer, recordedError, infoFailed, infoError);
  if (infoFailed) {
    ZLOG(kLog, logging::kLevelInfo, u" CryptCATCatalogInfoFromContext fail! ", infoError);
  }
  return 0;
}

std::int32_t CheckOneFile(const std::u16string& path, char16_t* signerBuffer, std::uint32_t bufferSize,
                          bool& isSigned) {
  std::int32_t openError = 0;
  const os::TrustFile file = os::TrustFile::Open(path, openError);
  if (!file.IsOpen()) {
    ZLOG(kLog, logging::kLevelFailure, u" PreIncludeZVFile CreateFile fail! ", openError);
    return -1;
  }
  std::u16string signer;
  const os::TrustVerdict verdict = os::VerifyFileTrust(path, file);
  if (verdict.status == os::kTrustOk) {
    isSigned = ReadSignerName(path, signer);
  } else {
    LogRefusal(path, verdict);
  }
  if (!isSigned) {
    if (const std::int32_t status = CheckCatalogForOne(file, signer, isSigned)) {
      return status;
    }
  }
  if (signerBuffer != nullptr && bufferSize != 0) {
    std::fill_n(signerBuffer, bufferSize, u'\0');
    CopyTerminated(signer, signerBuffer, bufferSize);
  }
  return LengthOf(signer);
}

}  // namespace

std::int32_t CheckFileSignature(const char16_t* path, char16_t* signerBuffer, std::uint32_t bufferSize,
                                bool* isSigned) noexcept {
  if (isSigned == nullptr) return -1;
  if (os::TickCount() < kStartupGraceMs || !IsModuleLoadCheckOn()) {
    *isSigned = true;
    return 1;
  }
  if (path == nullptr) return -1;
  *isSigned = false;
  try {
    return CheckOneFile(std::u16string(path), signerBuffer, bufferSize, *isSigned);
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

}  // namespace zevo::util
