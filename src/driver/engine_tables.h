// The module-wide tables read from the engine's pattern at start-up: product
// item -> company id, threat type -> threat level, and company id <-> name.
//
// Filled while the plug-in starts (under its global lock), then published and
// only read, from any thread, without a lock: every lookup is const and
// touches no mutable state. Every item report looks an item, its company and a
// threat type up by id: ids go through an IdMap (one cache miss on a large
// table); the memory stays close to the raw key/value bytes.
#ifndef ZEVO_SRC_DRIVER_ENGINE_TABLES_H_
#define ZEVO_SRC_DRIVER_ENGINE_TABLES_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver/id_map.h"
#include "util/published.h"
#include "zevo/data_handle.h"

namespace zevo::driver {

// Field `n` (0-based) of an engine table row: the text after the n-th U+007F
// up to the next one or the end; empty when the row has fewer fields.
std::u16string_view RowField(std::u16string_view row, std::size_t n) noexcept;

// A numeric field as _wtol reads it: optional white space, sign, leading
// decimal digits; anything else (or nothing) gives 0. Values beyond 32 bits
// saturate at INT32_MIN / INT32_MAX, as _wtol does for its 32-bit long.
std::int32_t RowNumber(std::u16string_view field) noexcept;

// A map from i32 to i32 (only ever looked up by key, never walked).
class IdValueTable {
 public:
  // Building (start-up only). Assign: a later row with the same key
  // overwrites the earlier one.
  void Clear() noexcept;
  void Assign(std::int32_t key, std::int32_t value) {
    pending_.emplace_back(key, value);
    sealed_ = false;
  }
  // Builds the lookup structure from every assignment so far (the last of
  // a key wins). REQUIRES: called after the last Assign, before any lookup.
  void Seal();

  std::optional<std::int32_t> Find(std::int32_t key) const noexcept;
  std::size_t size() const noexcept;
  std::size_t MemoryBytes() const noexcept;

 private:
  // Assignments since the last Seal, in order.
  std::vector<std::pair<std::int32_t, std::int32_t>> pending_;
  IdMap rows_;
  bool sealed_ = true;
};

// Product item id -> company id.
using ItemTable = IdValueTable;
// Threat type id -> threat level.
using ThreatTable = IdValueTable;

// The threat level of a threat type: the stored level, 50 when absent.
inline constexpr std::int32_t kDefaultThreatLevel = 50;
std::int32_t ThreatLevelOf(const ThreatTable& table, std::int32_t threatTypeId) noexcept;

// Company ids and names in the engine's row order. Duplicate keys keep their
// first row in both directions: an id resolves to the name of its own first
// row, a name to the id of the first row that carries it. Names are ordered
// by UTF-16 code units.
class CompanyIdNameTable {
 public:
  CompanyIdNameTable() = default;
  virtual ~CompanyIdNameTable() = default;
  CompanyIdNameTable(const CompanyIdNameTable&) = delete;
  CompanyIdNameTable& operator=(const CompanyIdNameTable&) = delete;

  // Building (start-up only): rows in engine order, then Seal.
  void Clear() noexcept;
  void AddRow(std::int32_t id, std::u16string_view name);
  void Seal();

  bool GetNameById(std::int32_t id, std::u16string& name) const;
  bool GetIdByName(std::u16string_view name, std::int32_t& id) const noexcept;

  // Puts every (name, id) in ascending name order: the name as a wide string
  // under key 133767, the id as u32 under key 134076. True only when the
  // message then holds at least one value under each key.
  bool WriteToMessage(const ZEVO_DataHandle& message) const noexcept;

  std::size_t size() const noexcept;
  std::size_t MemoryBytes() const noexcept;

 private:
  void BuildIdIndex();
  void BuildNameIndex();
  // Where row r's entry in the arena starts: 0 or the end of row r - 1.
  std::uint32_t EntryOfRow(std::uint32_t row) const noexcept { return row == 0 ? 0 : name_ends_[row - 1]; }
  std::u16string_view NameOfRow(std::uint32_t row) const noexcept;
  std::u16string_view NameAt(std::uint32_t entry) const noexcept;
  // The first row carrying `name`, when any.
  std::optional<std::uint32_t> RowOfName(std::u16string_view name) const noexcept;

  // One arena instead of a string object per row. Row r's entry starts at
  // EntryOfRow(r): the name's length in two code units (low half first),
  // then the name, which ends at name_ends_[r]. The length lets a lookup by
  // id go from the id index straight to the name.
  std::vector<char16_t> names_;
  std::vector<std::uint32_t> name_ends_;
  std::vector<std::int32_t> ids_;  // in row order
  // The indexes, the first row of each distinct key only: row numbers
  // ascending by name (UTF-16 code units), and id -> the row's arena entry.
  std::vector<std::uint32_t> by_name_;
  IdMap by_id_;
  bool sealed_ = true;
};

// The three tables, filled together from one pattern.
struct EngineTables {
  ItemTable items;
  ThreatTable threats;
  CompanyIdNameTable companies;
};

// The tables as the plug-in owns them and hands them to each driver: a
// refill builds a new set aside and publishes it whole, so that a report
// never sees the tables of two patterns, or a table half-filled.
using PublishedTables = util::Published<EngineTables>;

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_ENGINE_TABLES_H_
