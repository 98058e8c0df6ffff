// A map from i32 ids to i32 values, built once and then only read. Every
// item report looks an item, its company and a threat type up by id in
// tables far larger than the caches, so a lookup is made to cost one cache
// miss (a binary search costs a dozen). Two layouts, chosen at build time:
//
//  - dense, when the ids fill at least half of their range: one value per
//    id of the range, at index id - lowest; an id without entry holds a
//    value that no entry has. At most eight bytes per entry. Entries that
//    come with the ids lowest, lowest + 1, ... in this order (as engine
//    tables usually do) are copied over in one pass.
//  - hashed, otherwise: open addressing over 64-byte lines of eight ids and
//    their eight values; an id's slot is almost always in the line its hash
//    names. The slots of a line fill from the front, and a free slot holds
//    an id that no entry has: the first free slot ends a search. About 1.25
//    slots per entry: ten bytes per entry.
//
// Read-only after Build: safe for concurrent lookups.
#ifndef ZEVO_SRC_DRIVER_ID_MAP_H_
#define ZEVO_SRC_DRIVER_ID_MAP_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zevo::driver {

class IdMap {
 public:
  using Entries = std::vector<std::pair<std::int32_t, std::int32_t>>;
  // Which of two entries with the same id stays.
  enum class Duplicates { kFirstWins, kLastWins };

  // Replaces the contents with `entries` (id, value), taken in order.
  // Throws std::bad_alloc (the map is then empty).
  void Build(const Entries& entries, Duplicates duplicates);
  void Clear() noexcept;

  // The value of `id`, null when absent.
  const std::int32_t* Find(std::int32_t id) const noexcept {
    if (!values_.empty()) {
      const std::uint32_t index = static_cast<std::uint32_t>(id) - static_cast<std::uint32_t>(lowest_);
      if (index >= values_.size() || values_[index] == unused_) return nullptr;
      return &values_[index];
    }
    // The free slots' id is no entry's: matched against them it would
    // find the first free slot of its line.
    if (lines_.empty() || id == unused_) return nullptr;
    std::size_t l = LineOf(id);
    for (;;) {
      // The whole line is compared without a branch per slot: the outcome
      // of a lookup is then easy to predict, and the processor can go on
      // with the caller's next lookup while this line is still loading.
      const Line& line = lines_[l];
      unsigned match = 0;
      unsigned free = 0;
      for (unsigned s = 0; s < kSlots; ++s) {
        match |= static_cast<unsigned>(line.keys[s] == id) << s;
        free |= static_cast<unsigned>(line.keys[s] == unused_) << s;
      }
      if (match != 0) return &line.values[std::countr_zero(match)];
      if (free != 0) return nullptr;
      l = l + 1 == lines_.size() ? 0 : l + 1;  // the line overflowed into the next
    }
  }

  // Every entry, in no particular order.
  Entries AllEntries() const;

  std::size_t size() const noexcept { return size_; }
  std::size_t MemoryBytes() const noexcept {
    return values_.capacity() * sizeof(std::int32_t) + lines_.capacity() * sizeof(Line);
  }

 private:
  static constexpr std::size_t kSlots = 8;
  struct alignas(64) Line {
    std::int32_t keys[kSlots];
    std::int32_t values[kSlots];
  };

  // Fibonacci hashing spreads runs of consecutive ids evenly; the product
  // with the line count maps the hash onto the lines without a division.
  std::size_t LineOf(std::int32_t id) const noexcept {
    const std::uint32_t hash = static_cast<std::uint32_t>(id) * 0x9E3779B1u;
    return static_cast<std::size_t>((std::uint64_t{hash} * lines_.size()) >> 32);
  }
  // False (nothing built) unless the ids are lowest, lowest + 1, ... in order.
  bool BuildSequential(const Entries& entries);
  // REQUIRES: unused_ set for the layout.
  void BuildDense(const Entries& entries, Duplicates duplicates, std::int32_t lowest, std::size_t range);
  void BuildHashed(const Entries& entries, Duplicates duplicates);
  void Insert(std::int32_t id, std::int32_t value, Duplicates duplicates) noexcept;

  // Dense: the value of id lowest_ + i at i. Hashed: the lines. One of the
  // two is empty.
  std::vector<std::int32_t> values_;
  std::vector<Line> lines_;
  std::int32_t lowest_ = 0;
  // Dense: the value of an id without entry. Hashed: the id of a free slot.
  std::int32_t unused_ = 0;
  std::size_t size_ = 0;
};

}  // namespace zevo::driver

#endif  // ZEVO_SRC_DRIVER_ID_MAP_H_
