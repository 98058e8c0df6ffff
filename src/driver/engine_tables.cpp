#include "driver/engine_tables.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "driver/table_rows.h"
#include "zevo/engine_api.h"
#include "zevo/host_blocks.h"
#include "zevo/msg.h"
#include "zevo/result.h"

namespace zevo::driver {

namespace {

template <class T>
std::size_t HeapBytes(const std::vector<T>& v) noexcept {
  return v.capacity() * sizeof(T);
}

// Gives back what growing by doubling left unused when that is more than an
// eighth of the payload, so that the tables stay close to their raw bytes;
// a smaller slack is not worth another copy of a large array at start-up.
template <class T>
void Compact(std::vector<T>& v) {
  if (v.capacity() - v.size() > v.size() / 8) v.shrink_to_fit();
}

// The code units before each name in the company arena that hold its length.
constexpr std::uint32_t kLengthUnits = 2;

// Empties `v` and gives its memory back (assigning {} would keep it).
template <class T>
void Release(std::vector<T>& v) noexcept {
  std::vector<T>().swap(v);
}

}  // namespace

std::u16string_view RowField(std::u16string_view row, std::size_t n) noexcept {
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t separator = row.find(kRowFieldSeparator, start);
    if (separator == std::u16string_view::npos) return {};
    start = separator + 1;
  }
  const std::size_t end = row.find(kRowFieldSeparator, start);
  return row.substr(start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start);
}

std::int32_t RowNumber(std::u16string_view field) noexcept {
  const char16_t* p = field.data();
  return TakeLeadingNumber<true>(p, field.data() + field.size());
}

// --- IdValueTable -------------------------------------------------------------

void IdValueTable::Clear() noexcept {
  Release(pending_);
  rows_.Clear();
  sealed_ = true;
}

void IdValueTable::Seal() {
  // Rows sealed before come first: a new assignment overwrites them.
  std::vector<std::pair<std::int32_t, std::int32_t>> entries = rows_.AllEntries();
  if (entries.empty()) {
    entries.swap(pending_);
  } else {
    entries.insert(entries.end(), pending_.begin(), pending_.end());
  }
  Release(pending_);
  rows_.Build(entries, IdMap::Duplicates::kLastWins);
  sealed_ = true;
}

std::optional<std::int32_t> IdValueTable::Find(std::int32_t key) const noexcept {
  if (!sealed_) return std::nullopt;
  const std::int32_t* const value = rows_.Find(key);
  if (value == nullptr) return std::nullopt;
  return *value;
}

std::size_t IdValueTable::size() const noexcept { return sealed_ ? rows_.size() : 0; }

std::size_t IdValueTable::MemoryBytes() const noexcept { return rows_.MemoryBytes() + HeapBytes(pending_); }

std::int32_t ThreatLevelOf(const ThreatTable& table, std::int32_t threatTypeId) noexcept {
  return table.Find(threatTypeId).value_or(kDefaultThreatLevel);
}

// --- CompanyIdNameTable --------------------------------------------------------

void CompanyIdNameTable::Clear() noexcept {
  Release(names_);
  Release(name_ends_);
  Release(ids_);
  Release(by_name_);
  by_id_.Clear();
  sealed_ = true;
}

void CompanyIdNameTable::AddRow(std::int32_t id, std::u16string_view name) {
  constexpr std::size_t kMax = std::numeric_limits<std::uint32_t>::max();
  if (ids_.size() >= kMax || names_.size() > kMax - kLengthUnits || name.size() > kMax - kLengthUnits - names_.size()) {
    throw std::length_error("company table too large");
  }
  sealed_ = false;
  const auto length = static_cast<std::uint32_t>(name.size());
  names_.push_back(static_cast<char16_t>(length & 0xffff));
  names_.push_back(static_cast<char16_t>(length >> 16));
  names_.insert(names_.end(), name.begin(), name.end());
  name_ends_.push_back(static_cast<std::uint32_t>(names_.size()));
  ids_.push_back(id);
}

void CompanyIdNameTable::Seal() {
  BuildIdIndex();
  BuildNameIndex();
  Compact(names_);
  Compact(name_ends_);
  Compact(ids_);
  Compact(by_name_);
  sealed_ = true;
}

void CompanyIdNameTable::BuildIdIndex() {
  std::vector<std::pair<std::int32_t, std::int32_t>> entries(ids_.size());
  for (std::uint32_t r = 0; r < ids_.size(); ++r) {
    entries[r] = {ids_[r], static_cast<std::int32_t>(EntryOfRow(r))};
  }
  by_id_.Build(entries, IdMap::Duplicates::kFirstWins);
}

// Sorting by whole names reaches into the arena at random for every
// comparison. Most comparisons are settled instead by a key of the four code
// units after the prefix that every name shares, kept beside the row number;
// only equal keys compare the names. Zero-padding a short name's key keeps
// the key order a coarsening of the name order.
void CompanyIdNameTable::BuildNameIndex() {
  const auto rows = static_cast<std::uint32_t>(ids_.size());
  std::size_t common = rows == 0 ? 0 : NameOfRow(0).size();
  for (std::uint32_t r = 1; r < rows && common > 0; ++r) {
    const std::u16string_view first = NameOfRow(0).substr(0, common);
    const std::u16string_view name = NameOfRow(r);
    common = static_cast<std::size_t>(std::mismatch(first.begin(), first.end(), name.begin(), name.end()).first -
                                      first.begin());
  }
  struct Entry {
    std::uint64_t key;
    std::uint32_t row;
  };
  std::vector<Entry> entries(rows);
  for (std::uint32_t r = 0; r < rows; ++r) {
    const std::u16string_view tail = NameOfRow(r).substr(common);
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 4; ++i) key = key << 16 | (i < tail.size() ? tail[i] : 0u);
    entries[r] = {key, r};
  }
  // Ties go to the lower row: the first row of a name leads its run.
  std::sort(entries.begin(), entries.end(), [this, common](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    const int order = NameOfRow(a.row).substr(common).compare(NameOfRow(b.row).substr(common));
    return order < 0 || (order == 0 && a.row < b.row);
  });
  by_name_.clear();
  by_name_.reserve(rows);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == 0 || entries[i].key != entries[i - 1].key || NameOfRow(entries[i].row) != NameOfRow(entries[i - 1].row)) {
      by_name_.push_back(entries[i].row);
    }
  }
}

std::u16string_view CompanyIdNameTable::NameOfRow(std::uint32_t row) const noexcept {
  const std::uint32_t begin = EntryOfRow(row) + kLengthUnits;
  return {names_.data() + begin, name_ends_[row] - begin};
}

std::u16string_view CompanyIdNameTable::NameAt(std::uint32_t entry) const noexcept {
  const std::uint32_t length = std::uint32_t{names_[entry]} | std::uint32_t{names_[entry + 1]} << 16;
  return {names_.data() + entry + kLengthUnits, length};
}

std::optional<std::uint32_t> CompanyIdNameTable::RowOfName(std::u16string_view name) const noexcept {
  if (!sealed_) return std::nullopt;
  const auto it = std::lower_bound(by_name_.begin(), by_name_.end(), name,
                                   [this](std::uint32_t r, std::u16string_view k) { return NameOfRow(r) < k; });
  if (it == by_name_.end() || NameOfRow(*it) != name) return std::nullopt;
  return *it;
}

bool CompanyIdNameTable::GetNameById(std::int32_t id, std::u16string& name) const {
  if (!sealed_) return false;
  const std::int32_t* const entry = by_id_.Find(id);
  if (entry == nullptr) return false;
  name.assign(NameAt(static_cast<std::uint32_t>(*entry)));
  return true;
}

bool CompanyIdNameTable::GetIdByName(std::u16string_view name, std::int32_t& id) const noexcept {
  const std::optional<std::uint32_t> row = RowOfName(name);
  if (!row) return false;
  id = ids_[*row];
  return true;
}

bool CompanyIdNameTable::WriteToMessage(const ZEVO_DataHandle& message) const noexcept {
  if (!sealed_) return false;
  for (const std::uint32_t row : by_name_) {
    const std::u16string_view name = NameOfRow(row);
    // Names and ids are read back pairwise by position: a failed put would
    // shift every later pair, so the reply is refused instead.
    if (Failed(ZEVO_Msg_PutWString(&message, ZEVO_INDEX_COMPANY_NAME, name.data(),
                                   static_cast<std::uint32_t>(name.size()))) ||
        Failed(ZEVO_Msg_PutUInt32(&message, ZEVO_INDEX_COMPANY_ID, static_cast<std::uint32_t>(ids_[row])))) {
      return false;
    }
  }
  std::uint32_t names = 0;
  std::uint32_t ids = 0;
  return Succeeded(ZEVO_Msg_GetSizeOf(&message, ZEVO_INDEX_COMPANY_NAME, &names)) && names > 0 &&
         Succeeded(ZEVO_Msg_GetSizeOf(&message, ZEVO_INDEX_COMPANY_ID, &ids)) && ids > 0;
}

std::size_t CompanyIdNameTable::size() const noexcept { return sealed_ ? ids_.size() : 0; }

std::size_t CompanyIdNameTable::MemoryBytes() const noexcept {
  return HeapBytes(names_) + HeapBytes(name_ends_) + HeapBytes(ids_) + HeapBytes(by_name_) + by_id_.MemoryBytes();
}

}  // namespace zevo::driver
