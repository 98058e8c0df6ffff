// The batch check: a context of files checked together, and
// CheckFilesSignature on top of it.
#include "util/file_signature.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "log/logging.h"
#include "os/trust.h"
#include "util/file_signature_shared.h"
#include "util/self_protection.h"

namespace zevo::util {

namespace signing {

void CopyTerminated(const std::u16string& text, char16_t* buffer, std::uint32_t size) {
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = u'\0';
}

std::int32_t LengthOf(const std::u16string& text) {
  return static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
}

bool SignedByCatalog(os::CatalogDatabase& catalogs, const os::TrustFile& file, std::u16string& signer,
                     std::int32_t& recordedError, bool& infoFailed, std::int32_t& infoError) {
  std::u16string catalogPath;
  std::int32_t error = 0;
  switch (catalogs.Find(file, catalogPath, error)) {
    case os::CatalogDatabase::Lookup::kNoHash:
      return false;
    case os::CatalogDatabase::Lookup::kNotListed:
      recordedError = error;
      ZLOG(kLog, logging::kLevelFailure, error);
      return false;
    case os::CatalogDatabase::Lookup::kNoCatalogInfo:
      recordedError = error;
      infoFailed = true;
      infoError = error;
      return false;
    case os::CatalogDatabase::Lookup::kFound:
      return ReadSignerName(catalogPath, signer);
  }
  return false;
}

}  // namespace signing

namespace {

using signing::CopyTerminated;
using signing::kLog;
using signing::LengthOf;
using signing::SignedByCatalog;

// CheckFilesSignature reads signer names into buffers of this many
// characters, of which it offers one less to the copy.
constexpr std::uint32_t kSignerBufferLength = 512;

// Checks one file of a context; true when it counts as signed.
bool VerifyOne(const std::u16string& path, os::CatalogDatabase& catalogs, std::u16string& signer,
               std::int32_t& recordedError) {
  std::int32_t openError = 0;
  const os::TrustFile file = os::TrustFile::Open(path, openError);
  if (!file.IsOpen()) {
    recordedError = openError;
    ZLOG(kLog, logging::kLevelFailure, u" PreIncludeZVFile CreateFile fail! ", openError);
    return false;
  }
  if (os::VerifyFileTrust(path, file).status == os::kTrustOk) {
    if (ReadSignerName(path, signer)) return true;
  } else {
    ZLOG(kLog, logging::kLevelInfo, u" This file isn't signed! ", recordedError);
  }
  bool infoFailed = false;
  std::int32_t infoError = 0;
  const bool signedByCatalog = SignedByCatalog(catalogs, file, signer, recordedError, infoFailed, infoError);
  if (infoFailed) ZLOG(kLog, logging::kLevelFailure, infoError);
  return signedByCatalog;
}

// Opens the catalog database for a batch; the context status on failure,
// else 0.
std::int32_t OpenCatalogsForBatch(os::CatalogDatabase& catalogs) {
  std::int32_t error = 0;
  switch (catalogs.Open(error)) {
    case os::CatalogDatabase::OpenStatus::kOk:
      return 0;
    case os::CatalogDatabase::OpenStatus::kLibraryNotLoaded:
    case os::CatalogDatabase::OpenStatus::kAcquireMissing:
      return kSignNoTrustLibrary;
    case os::CatalogDatabase::OpenStatus::kAcquireFailed:
      return kSignNoCatalogAdmin;
    case os::CatalogDatabase::OpenStatus::kFunctionMissing:
      ZLOG(kLog, logging::kLevelInfo, u"GetProcAddress fail! ");
      return kSignNoTrustLibrary;
  }
  return kSignNoTrustLibrary;
}

std::int32_t VerifyContextFiles(FileSignContext& ctx, std::uint8_t* results, std::int32_t capacity) {
  os::CatalogDatabase catalogs;
  if (const std::int32_t status = OpenCatalogsForBatch(catalogs)) {
    return status;
  }
  // The error code most recently met in this call: the " isn't signed" line
  // reports it, as the check has always done.
  std::int32_t recordedError = 0;
  std::int32_t written = 0;
  for (auto& [path, record] : ctx.files) {
    std::u16string signer;
    const bool signedNow = VerifyOne(path, catalogs, signer, recordedError);
    record.signer = std::move(signer);
    record.isSigned = signedNow;
    if (results != nullptr && written < capacity) {
      results[written++] = signedNow ? 1 : 0;
    }
  }
  return static_cast<std::int32_t>(ctx.files.size());
}

}  // namespace

FileSignContext* CreateFileSignContext() noexcept { return new (std::nothrow) FileSignContext; }

std::int32_t AddFileToSignContext(FileSignContext* ctx, const char16_t* path) noexcept {
  if (ctx == nullptr || path == nullptr) return kSignBadArgument;
  try {
    ctx->files.try_emplace(std::u16string(path));
  } catch (const std::bad_alloc&) {
    // Not added; the count below tells the caller what the context holds.
  }
  return static_cast<std::int32_t>(ctx->files.size());
}

std::int32_t VerifySignContext(FileSignContext* ctx, std::uint8_t* results, std::int32_t capacity) noexcept {
  if (!IsModuleLoadCheckOn()) {
    if (results != nullptr && capacity > 0) {
      std::memset(results, 1, static_cast<std::size_t>(capacity));
    }
    return capacity;
  }
  if (ctx == nullptr || ctx->files.empty()) return kSignBadArgument;
  try {
    return VerifyContextFiles(*ctx, results, capacity);
  } catch (const std::bad_alloc&) {
    return kSignNoTrustLibrary;  // the check could not run
  }
}

std::int32_t GetSignContextSigner(const FileSignContext* ctx, const char16_t* path, char16_t* buffer,
                                  std::uint32_t bufferSize) noexcept {
  if (ctx == nullptr || path == nullptr) return kSignBadArgument;
  try {
    const auto found = ctx->files.find(std::u16string(path));
    if (found == ctx->files.end()) return kSignBadArgument;
    const std::u16string& signer = found->second.signer;
    if (buffer != nullptr && bufferSize != 0) {
      CopyTerminated(signer, buffer, bufferSize);
    }
    return LengthOf(signer);
  } catch (const std::bad_alloc&) {
    return kSignBadArgument;
  }
}

void DestroyFileSignContext(FileSignContext* ctx) noexcept { delete ctx; }

namespace {

// Owns a context for the length of one CheckFilesSignature.
struct ContextDeleter {
  void operator()(FileSignContext* ctx) const noexcept { DestroyFileSignContext(ctx); }
};

void ReportSigners(const FileSignContext& ctx, const char16_t* const* paths, std::uint32_t count,
                   SignerCallback callback, void* userData) {
  for (std::uint32_t i = 0; i < count; ++i) {
    if (paths[i] == nullptr) continue;
    char16_t signer[kSignerBufferLength] = {};
    if (GetSignContextSigner(&ctx, paths[i], signer, kSignerBufferLength - 1) != 0) {
      callback(paths[i], signer, userData);
    }
  }
}

}  // namespace

bool CheckFilesSignature(const char16_t* const* paths, std::uint32_t count, SignerCallback callback,
                         void* userData) noexcept {
  if (!IsModuleLoadCheckOn()) return true;
  if (paths == nullptr || count == 0) return false;
  const std::unique_ptr<FileSignContext, ContextDeleter> ctx(CreateFileSignContext());
  if (!ctx) return false;
  std::int32_t added = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t n = AddFileToSignContext(ctx.get(), paths[i]);
    if (n >= 0) added = n;
  }
  if (added < 1) return false;
  try {
    std::vector<std::uint8_t> results(static_cast<std::size_t>(added), 0);
    const std::int32_t checked = VerifySignContext(ctx.get(), results.data(), added);
    if (checked < 0) return false;
    const std::size_t judged = std::min(results.size(), static_cast<std::size_t>(checked));
    const bool verdict = std::all_of(results.begin(), results.begin() + judged, [](std::uint8_t r) { return r != 0; });
    if (callback != nullptr) {
      ReportSigners(*ctx, paths, count, callback, userData);
    }
    return verdict;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace zevo::util
