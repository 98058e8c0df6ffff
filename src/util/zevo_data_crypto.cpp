#include "util/zevo_data_crypto.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "log/logging.h"
#include "os/md5_rc4.h"

namespace zevo::util {

namespace {

constexpr logging::Site kLog{u"Util COMMON", u"util_ZevoDataCrypto"};

using Bytes = std::unique_ptr<std::uint8_t, CryptoBuffDeleter>;

Bytes Allocate(std::uint32_t size) noexcept {
  // One byte at least: malloc(0) may answer null, which is not a failure.
  return Bytes(static_cast<std::uint8_t*>(std::malloc(std::max(size, 1u))));
}

void ReportCryptoError(std::u16string_view text) noexcept {
  os::CryptoError error{0, {}};
  try {
    error = os::LastCryptoError();
  } catch (...) {
    // No memory for the message: the code alone is still worth a line.
  }
  ZLOG(kLog, logging::kLevelFailure, u"ZevoDataCrypto error. ", text);
  ZLOG(kLog, logging::kLevelFailure, u"error(", error.code, u"). Msg = \"", error.message, u'"');
}

// What a run got as far as, for the clean-up.
struct Progress {
  bool contextAcquired = false;
  bool keyDerived = false;
  std::uint32_t outputSize = 0;
  Bytes output;
};

bool DeriveKey(os::Md5Rc4Session& session, const char* password, Progress& progress) noexcept {
  if (!session.AcquireContext()) {
    ReportCryptoError(u"Error during CryptAcquireContext!");
    return false;
  }
  progress.contextAcquired = true;
  ZLOG(kLog, logging::kLevelEntryExit, u"A cryptographic provider has been acquired.");

  if (!session.CreateHash()) {
    ReportCryptoError(u"Error during CryptCreateHash!");
    return false;
  }
  ZLOG(kLog, logging::kLevelEntryExit, u"A hash object has been created.");

  const char* const text = password != nullptr ? password : kBuiltInPassword;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  if (!session.HashData(bytes, static_cast<std::uint32_t>(std::strlen(text)))) {
    ReportCryptoError(u"Error during CryptHashData.");
    return false;
  }
  ZLOG(kLog, logging::kLevelEntryExit, u"The password has been added to the hash.");

  if (!session.DeriveKey()) {
    ReportCryptoError(u"Error during CryptDeriveKey!");
    return false;
  }
  progress.keyDerived = true;
  ZLOG(kLog, logging::kLevelEntryExit, u"An encryption key is derived from the password hash.");

  if (!session.DestroyHash()) {
    ReportCryptoError(u"Error during CryptDestroyHash");
    return false;
  }
  return true;
}

// Passes `data` through the work buffer in pieces into progress.output.
bool CryptPieces(os::Md5Rc4Session& session, bool encrypt, const std::uint8_t* data, std::uint32_t length,
                 Progress& progress) noexcept {
  const Bytes work = Allocate(kCryptoWorkBufferBytes);
  if (!work) {
    ReportCryptoError(u"Out of memory.");
    return false;
  }
  ZLOG(kLog, logging::kLevelEntryExit, u"Memory has been allocated for the buffer.");

  std::uint32_t outputSize = length;
  if (encrypt && !session.EncryptedSize(length, &outputSize)) {
    ReportCryptoError(u"Error during CryptEncrypt - count crypto size.");
    return false;
  }
  progress.output = Allocate(outputSize);
  if (!progress.output) {
    ReportCryptoError(u"Out of memory.");
    return false;
  }
  progress.outputSize = outputSize;
  ZLOG(kLog, logging::kLevelEntryExit, u"Memory has been allocated for output buffer.");

  std::uint32_t done = 0;
  std::uint32_t written = 0;
  for (;;) {
    const std::uint32_t remaining = length - done;
    const std::uint32_t piece = std::min(remaining, kCryptoPieceBytes);
    const bool final = remaining <= kCryptoPieceBytes;
    if (piece != 0) std::memcpy(work.get(), data + done, piece);
    std::uint32_t pieceOut = piece;
    if (!session.Crypt(encrypt, work.get(), &pieceOut, kCryptoWorkBufferBytes, final)) {
      ReportCryptoError(encrypt ? u"Error during CryptEncrypt." : u"Error during CryptDecrypt.");
      return false;
    }
    if (pieceOut > outputSize - written) {
      ReportCryptoError(u"Output buffer is not enough.");
      return false;
    }
    if (pieceOut != 0) {
      std::memcpy(progress.output.get() + written, work.get(), pieceOut);
    }
    written += pieceOut;
    done += piece;
    if (final) return true;
  }
}

bool CryptData(bool encrypt, const char* password, const std::uint8_t* data, std::uint32_t length, CryptoBuffer& buffer,
               std::uint32_t& outLength) noexcept {
  buffer.reset();
  outLength = 0;
  if (data == nullptr && length != 0) return false;

  os::Md5Rc4Session session;
  Progress progress;
  bool ok = DeriveKey(session, password, progress) && CryptPieces(session, encrypt, data, length, progress);

  // Clean-up, on every path.
  try {
    buffer = CryptoBuffer(progress.output.release(), CryptoBuffDeleter{});
  } catch (...) {  // the shared_ptr's control block: the buffer is freed
    ok = false;
  }
  outLength = progress.outputSize;
  if (progress.keyDerived && !session.DestroyKey()) {
    ReportCryptoError(u"Error during CryptDestroyKey");
    ok = false;
  }
  if (progress.contextAcquired && !session.ReleaseContext()) {
    ReportCryptoError(u"Error during CryptReleaseContext");
    ok = false;
  }
  return ok;
}

}  // namespace

bool ZevoDataCrypto::EncryptData(const char* password, const std::uint8_t* data, std::uint32_t length,
                                 CryptoBuffer& buffer, std::uint32_t& outLength) noexcept {
  return CryptData(/*encrypt=*/true, password, data, length, buffer, outLength);
}

bool ZevoDataCrypto::DecryptData(const char* password, const std::uint8_t* data, std::uint32_t length,
                                 CryptoBuffer& buffer, std::uint32_t& outLength) noexcept {
  return CryptData(/*encrypt=*/false, password, data, length, buffer, outLength);
}

std::int32_t ZevoDataCrypto::EncryptDataToBuffer(const char* password, const std::uint8_t* data, std::uint32_t length,
                                                 std::uint8_t* target, std::uint32_t capacity,
                                                 std::uint32_t* outLength) noexcept {
  if (outLength == nullptr) return kUnsupported;
  CryptoBuffer buffer;
  if (!EncryptData(password, data, length, buffer, *outLength)) {
    return kCryptoFailed;
  }
  if (target == nullptr || *outLength > capacity) return kCryptoBufferTooSmall;
  if (*outLength != 0) std::memcpy(target, buffer.get(), *outLength);
  return kCommonOk;
}

}  // namespace zevo::util
