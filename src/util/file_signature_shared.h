// What the batch check (file_signature.cpp) and the single-file check
// (file_signature_single.cpp) share: the log site, the copy of a signer
// name out, and the catalog lookup of an open file.
#ifndef ZEVO_SRC_UTIL_FILE_SIGNATURE_SHARED_H_
#define ZEVO_SRC_UTIL_FILE_SIGNATURE_SHARED_H_

#include <cstdint>
#include <string>

#include "log/logging.h"
#include "os/trust.h"

namespace zevo::util::signing {

inline constexpr logging::Site kLog{u"Util COMMON", u"Std_Utils_File"};

// Copies at most size - 1 characters of `text` and a terminator.
// REQUIRES: buffer != null, size > 0.
void CopyTerminated(const std::u16string& text, char16_t* buffer, std::uint32_t size);

// The length of `text` as a result code, capped at INT32_MAX.
std::int32_t LengthOf(const std::u16string& text);

// Looks the open file up in the catalog database and reads the listing
// catalog's signer. Logs as the batch check does, except for an unreadable
// catalog record, which the caller reports (`infoError`).
bool SignedByCatalog(os::CatalogDatabase& catalogs, const os::TrustFile& file, std::u16string& signer,
                     std::int32_t& recordedError, bool& infoFailed, std::int32_t& infoError);

}  // namespace zevo::util::signing

#endif  // ZEVO_SRC_UTIL_FILE_SIGNATURE_SHARED_H_
