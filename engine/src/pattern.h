// The loaded pattern: version, the three tables and the signatures.
// Immutable once loaded; sessions share it through std::shared_ptr.
// engine/README.md describes the file format.
#ifndef TARSK_PATTERN_H_
#define TARSK_PATTERN_H_

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sha256.h"

namespace tarsk {

// Scanner ids; 0xFFFFFFFE enables kDefaultScannerSet.
inline constexpr std::uint32_t kScannerBytes = 1;
inline constexpr std::uint32_t kScannerHash = 2;
inline constexpr std::uint32_t kScannerName = 3;
inline constexpr std::uint32_t kScannerCookie = 12;
inline constexpr std::uint32_t kScannerReferential = 20;

// Item kinds the engine reports.
inline constexpr std::uint32_t kKindFileBytes = 10;
inline constexpr std::uint32_t kKindCookie = 12;
inline constexpr std::uint32_t kKindFileHash = 13;
inline constexpr std::uint32_t kKindFileName = 14;
inline constexpr std::uint32_t kKindReferential = 17;

enum class SignatureType { kBytes, kSha256, kName, kCookie };

struct Signature {
  SignatureType type = SignatureType::kBytes;
  std::uint32_t scanner = 0;
  std::uint32_t kind = 0;
  std::int32_t itemId = 0;
  std::int32_t threatTypeId = 0;
  std::string bytes;           // kBytes
  Digest digest{};             // kSha256
  std::u16string glob;         // kName
  std::u16string domain;       // kCookie, lower case
  std::u16string detail;       // text 5 of the item: the signature's value as written
  std::u16string name;         // custom items: their name (else the table's)
  std::u16string companyText;  // custom items: their company
  bool needsRestart = false;   // cleaning reports result flags 0x3
  bool notWithBackup = false;  // result flags 0x10 from detection on
};

// One table: rows (fields joined by U+007F) and an index on field 0.
struct Table {
  std::vector<std::u16string> rows;
  std::vector<std::pair<std::int32_t, std::uint32_t>> byId;  // sorted by id, then row

  // Rows whose field 0 is id, in file order.
  std::vector<std::uint32_t> RowsWithId(std::int32_t id) const;
  // The first row with that id, or null.
  const std::u16string* FindRow(std::int32_t id) const;
};

inline constexpr int kTableCount = 3;  // ids 1..3

struct Pattern {
  std::u16string version;
  std::array<Table, kTableCount> tables;  // [0] = table 1
  std::vector<Signature> signatures;
  std::size_t longestBytes = 0;        // longest kBytes signature
  std::int32_t referentialItemId = 0;  // items of a reference no signature matches
  std::int32_t referentialThreatTypeId = 0;

  const Table* TableById(std::int32_t id) const;
  std::int32_t CompanyIdOfItem(std::int32_t itemId) const;  // 0 when unknown
  std::u16string CompanyName(std::int32_t companyId) const;
  std::u16string ItemName(std::int32_t itemId) const;
};

// Field n of a row (empty when the row has fewer fields).
std::u16string_view RowField(std::u16string_view row, std::size_t n);

// Parses the text of a pattern file. Throws std::runtime_error naming the
// line of the first fault.
std::shared_ptr<const Pattern> ParsePattern(std::string_view text);

// Reads and parses a pattern file. Throws std::runtime_error.
std::shared_ptr<const Pattern> LoadPatternFile(const std::filesystem::path& file);

}  // namespace tarsk

#endif  // TARSK_PATTERN_H_
