// The .tkb backup file: one file for the items of one TKBackup call.
//
// Little-endian layout:
//   "TARSKTKB", u32 format version (1), u32 entry count,
//   per entry: u32 type (1 file, 2 cookie file), u32 path length and
//   the path in UTF-8, u32 permission bits, i64 last write time (ticks of
//   std::filesystem::file_time_type), u64 data length and the data, the
//   SHA-256 of the data (32 bytes);
//   then the SHA-256 of every byte before it.
#ifndef TARSK_BACKUP_FILE_H_
#define TARSK_BACKUP_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sha256.h"

namespace tarsk {

inline constexpr std::uint32_t kEntryWholeFile = 1;
inline constexpr std::uint32_t kEntryCookieFile = 2;  // a cookie file cleaned line by line

struct BackupEntry {
  std::uint32_t type = kEntryWholeFile;
  std::u16string path;
  std::uint32_t permissions = 0;
  std::int64_t lastWriteTime = 0;
  std::string data;
  Digest digest{};  // of data; filled by DecodeBackup and EncodeBackup
};

std::string EncodeBackup(std::vector<BackupEntry>& entries);

// Throws std::runtime_error when the bytes are malformed or any digest does
// not match.
std::vector<BackupEntry> DecodeBackup(std::string_view bytes);

}  // namespace tarsk

#endif  // TARSK_BACKUP_FILE_H_
