// Whether files carry a valid code signature, and who signed them.
//
// The check is switched by IsModuleLoadCheckOn() (self_protection.h): when
// it is off every file counts as signed and none is opened. When it is on, a
// file counts as signed when its own signature verifies and its signer's name
// can be read, or else when a catalog of the system's catalog database lists
// it and that catalog's signer name can be read (see os/trust.h for what
// this means on each platform).
//
// Log lines: module "Util COMMON", source file "Std_Utils_File".
// No lock is taken; distinct contexts may be used concurrently.
#ifndef ZEVO_SRC_UTIL_FILE_SIGNATURE_H_
#define ZEVO_SRC_UTIL_FILE_SIGNATURE_H_

#include <cstdint>
#include <map>
#include <string>

namespace zevo::util {

// What a check found out about one file.
struct FileSignRecord {
  std::u16string signer;  // display name; empty until found
  bool isSigned = false;
};

// The files of one check, keyed by path (exact, case-sensitive order).
struct FileSignContext {
  std::map<std::u16string, FileSignRecord> files;
};

// Statuses of the context operations.
inline constexpr std::int32_t kSignBadArgument = -1;     // null or empty
inline constexpr std::int32_t kSignNoTrustLibrary = -2;  // Wintrust.dll or a
                                                         // catalog function
inline constexpr std::int32_t kSignNoCatalogAdmin = -3;  // context refused

// A new, empty context, or null when memory is short. The caller owns it and
// gives it back with DestroyFileSignContext.
FileSignContext* CreateFileSignContext() noexcept;

// Adds `path` (unless present) and returns the number of distinct paths;
// kSignBadArgument when `ctx` or `path` is null.
std::int32_t AddFileToSignContext(FileSignContext* ctx, const char16_t* path) noexcept;

// Checks every file of the context in path order, records its signer and
// verdict, and writes one byte per file (1 signed, 0 not) into `results`,
// at most `capacity` of them. Returns the number of paths, or
// kSignBadArgument / kSignNoTrustLibrary / kSignNoCatalogAdmin.
// With the switch off: the first `capacity` bytes become 1 and the result is
// `capacity`, whatever the context holds.
std::int32_t VerifySignContext(FileSignContext* ctx, std::uint8_t* results, std::int32_t capacity) noexcept;

// The signer name recorded for `path`: its length in characters (0 when none
// was found), and, when `buffer` is given and `bufferSize` is not 0, at most
// bufferSize - 1 of its characters and a terminator. kSignBadArgument when
// `ctx` or `path` is null or the path is not in the context.
std::int32_t GetSignContextSigner(const FileSignContext* ctx, const char16_t* path, char16_t* buffer,
                                  std::uint32_t bufferSize) noexcept;

// Frees the context; null is ignored.
void DestroyFileSignContext(FileSignContext* ctx) noexcept;

// Told the signer of each signed file; the result is ignored.
using SignerCallback = std::int32_t (*)(const char16_t* path, const char16_t* signer, void* userData);

// True when every one of the `count` files of `paths` (null entries skipped)
// is signed; true at once, with nothing opened or logged, when the switch is
// off. False for no paths or when the check cannot run. When `callback` is
// given, it is called for every entry of `paths` in order (duplicates
// included) whose signer name is known.
bool CheckFilesSignature(const char16_t* const* paths, std::uint32_t count, SignerCallback callback,
                         void* userData) noexcept;

// The display name of the signer of the signed file at `path`. False, with
// `name` unchanged, when it cannot be read.
bool ReadSignerName(const std::u16string& path, std::u16string& name) noexcept;

// Single-file check. During the first two minutes after the system started,
// or with the switch off, `*isSigned` becomes true and the result is 1 with
// nothing checked. Otherwise `*isSigned` tells the verdict and the result is
// the signer name's length (0 when none), the name copied into
// `signerBuffer` (zeroed first, at most bufferSize - 1 characters) when one
// is given; -1 for a null argument or a file that cannot be opened, and
// kSignNoTrustLibrary / kSignNoCatalogAdmin when the catalog is needed but
// cannot be used.
std::int32_t CheckFileSignature(const char16_t* path, char16_t* signerBuffer, std::uint32_t bufferSize,
                                bool* isSigned) noexcept;

}  // namespace zevo::util

#endif  // ZEVO_SRC_UTIL_FILE_SIGNATURE_H_
