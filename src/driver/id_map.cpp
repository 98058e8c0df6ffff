#include "driver/id_map.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace zevo::driver {

namespace {

// The lowest and highest ids and values of the entries, in one pass.
struct Extremes {
  std::int32_t lowestId = std::numeric_limits<std::int32_t>::max();
  std::int32_t highestId = std::numeric_limits<std::int32_t>::min();
  std::int32_t lowestValue = std::numeric_limits<std::int32_t>::max();
  std::int32_t highestValue = std::numeric_limits<std::int32_t>::min();
};

Extremes ExtremesOf(const IdMap::Entries& entries) noexcept {
  Extremes e;
  for (const auto& [id, value] : entries) {
    e.lowestId = std::min(e.lowestId, id);
    e.highestId = std::max(e.highestId, id);
    e.lowestValue = std::min(e.lowestValue, value);
    e.highestValue = std::max(e.highestValue, value);
  }
  return e;
}

// A number that no entry has in the column `project` picks (ids or values),
// whose extremes are `lowest` and `highest`. Fewer than 2^32 entries always
// leave one; it is searched for among the sorted numbers only when both
// extremes are taken.
template <class Project>
std::int32_t UnusedNumber(const IdMap::Entries& entries, std::int32_t lowest, std::int32_t highest, Project project) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  if (lowest != kMin) return kMin;
  if (highest != kMax) return highest + 1;
  std::vector<std::int32_t> numbers(entries.size());
  std::transform(entries.begin(), entries.end(), numbers.begin(), project);
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
    if (numbers[i + 1] != numbers[i] + 1) return numbers[i] + 1;
  }
  throw std::length_error("no unused number left");  // unreachable below 2^32 entries
}

inline void PrefetchForWrite(const void* address) noexcept {
#if defined(__GNUC__)
  __builtin_prefetch(address, /*rw=*/1);
#else
  static_cast<void>(address);
#endif
}

}  // namespace

void IdMap::Build(const Entries& entries, Duplicates duplicates) {
  Clear();
  if (entries.empty()) return;
  if (entries.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("id map too large");
  try {
    if (BuildSequential(entries)) return;
    const Extremes e = ExtremesOf(entries);
    const auto range = static_cast<std::size_t>(std::int64_t{e.highestId} - e.lowestId + 1);
    if (range / 2 <= entries.size()) {
      unused_ = UnusedNumber(entries, e.lowestValue, e.highestValue, [](const auto& x) { return x.second; });
      BuildDense(entries, duplicates, e.lowestId, range);
    } else {
      unused_ = UnusedNumber(entries, e.lowestId, e.highestId, [](const auto& x) { return x.first; });
      BuildHashed(entries, duplicates);
    }
  } catch (...) {
    Clear();
    throw;
  }
}

bool IdMap::BuildSequential(const Entries& entries) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::int64_t first = entries.front().first;
  if (first + static_cast<std::int64_t>(entries.size()) - 1 > std::numeric_limits<std::int32_t>::max()) return false;
  values_.reserve(entries.size());
  bool lowestValueTaken = false;
  std::int32_t highestValue = kMin;
  // Checked while copying: engine tables almost always are in order.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].first != first + static_cast<std::int64_t>(i)) {
      std::vector<std::int32_t>().swap(values_);
      return false;
    }
    values_.push_back(entries[i].second);
    lowestValueTaken |= entries[i].second == kMin;
    highestValue = std::max(highestValue, entries[i].second);
  }
  lowest_ = entries.front().first;
  unused_ = UnusedNumber(entries, lowestValueTaken ? kMin : 0, highestValue, [](const auto& x) { return x.second; });
  size_ = entries.size();
  return true;
}

void IdMap::BuildDense(const Entries& entries, Duplicates duplicates, std::int32_t lowest, std::size_t range) {
  lowest_ = lowest;
  values_.assign(range, unused_);
  for (const auto& [id, value] : entries) {
    std::int32_t& slot = values_[static_cast<std::uint32_t>(id) - static_cast<std::uint32_t>(lowest)];
    if (slot == unused_) {
      ++size_;
    } else if (duplicates == Duplicates::kFirstWins) {
      continue;
    }
    slot = value;
  }
}

void IdMap::BuildHashed(const Entries& entries, Duplicates duplicates) {
  Line empty{};
  std::fill(std::begin(empty.keys), std::end(empty.keys), unused_);
  // At most 0.8 entries per slot: few lines overflow into the next.
  lines_.assign(entries.size() * 10 / (kSlots * 8) + 1, empty);
  // The lines are touched at random: ask for a few lines ahead so that
  // their cache misses overlap instead of coming one after the other.
  constexpr std::size_t kAhead = 16;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i + kAhead < entries.size()) PrefetchForWrite(&lines_[LineOf(entries[i + kAhead].first)]);
    Insert(entries[i].first, entries[i].second, duplicates);
  }
}

void IdMap::Clear() noexcept {
  std::vector<std::int32_t>().swap(values_);
  std::vector<Line>().swap(lines_);
  lowest_ = 0;
  unused_ = 0;
  size_ = 0;
}

void IdMap::Insert(std::int32_t id, std::int32_t value, Duplicates duplicates) noexcept {
  std::size_t l = LineOf(id);
  for (;;) {
    Line& line = lines_[l];
    for (std::size_t s = 0; s < kSlots; ++s) {
      if (line.keys[s] == id) {
        if (duplicates == Duplicates::kLastWins) line.values[s] = value;
        return;
      }
      if (line.keys[s] == unused_) {
        line.keys[s] = id;
        line.values[s] = value;
        ++size_;
        return;
      }
    }
    l = l + 1 == lines_.size() ? 0 : l + 1;
  }
}

IdMap::Entries IdMap::AllEntries() const {
  Entries entries;
  entries.reserve(size_);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (values_[i] != unused_) {
      entries.emplace_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(lowest_) + i), values_[i]);
    }
  }
  for (const Line& line : lines_) {
    for (std::size_t s = 0; s < kSlots && line.keys[s] != unused_; ++s) {
      entries.emplace_back(line.keys[s], line.values[s]);
    }
  }
  return entries;
}

}  // namespace zevo::driver
