#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "driver/id_map.h"

namespace zevo::driver {
namespace {

using Entries = IdMap::Entries;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Every entry found with its value and listed back; `absent` not found.
void ExpectHolds(const IdMap& map, const Entries& entries, const std::vector<std::int32_t>& absent) {
  for (const auto& [id, value] : entries) {
    const std::int32_t* found = map.Find(id);
    ASSERT_NE(found, nullptr) << id;
    EXPECT_EQ(*found, value) << id;
  }
  for (const std::int32_t id : absent) EXPECT_EQ(map.Find(id), nullptr) << id;
  EXPECT_EQ(map.size(), entries.size());
  Entries listed = map.AllEntries();
  Entries expected = entries;
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
}

// Ids in order without gaps are copied in one pass; ids around them are absent.
TEST(IdMap, SequentialIdsAsDelivered) {
  Entries entries;
  for (std::int32_t id = -3; id < 5000; ++id) entries.emplace_back(id, id == 9 ? kMin : id == 10 ? kMax : 7 * id);
  IdMap map;
  map.Build(Entries(entries), IdMap::Duplicates::kLastWins);
  ExpectHolds(map, entries, {-4, 5000, kMin, kMax});
  EXPECT_EQ(map.MemoryBytes(), 4 * entries.size());

  // Up to the highest id there is; a repeated id is not a sequence.
  IdMap top;
  top.Build({{kMax - 1, 1}, {kMax, 2}}, IdMap::Duplicates::kLastWins);
  ExpectHolds(top, {{kMax - 1, 1}, {kMax, 2}}, {kMin, kMax - 2});
  IdMap repeated;
  repeated.Build({{1, 1}, {2, 2}, {2, 3}}, IdMap::Duplicates::kFirstWins);
  ExpectHolds(repeated, {{1, 1}, {2, 2}}, {3});
}

// Ids that fill half their range or more take the dense layout; the values
// include both extremes, so the marker of a missing id must be searched for.
TEST(IdMap, DenseIdsWithGapsAndExtremeValues) {
  Entries entries;
  std::vector<std::int32_t> absent = {kMin, kMax, -101, 1000, 1001};
  for (std::int32_t id = -100; id < 1000; ++id) {
    if (id % 3 == 0) absent.push_back(id);
    if (id % 3 != 0) entries.emplace_back(id, id % 7 == 1 ? kMin : id % 7 == 2 ? kMax : id * 11);
  }
  entries.emplace_back(5, kMin + 1);  // duplicates at the end of the table
  entries.emplace_back(998, 0);

  IdMap last;
  last.Build(Entries(entries), IdMap::Duplicates::kLastWins);
  Entries expected(entries.begin(), entries.end() - 2);
  for (auto& [id, value] : expected) value = id == 5 ? kMin + 1 : id == 998 ? 0 : value;
  ExpectHolds(last, expected, absent);

  IdMap first;
  first.Build(Entries(entries), IdMap::Duplicates::kFirstWins);
  ExpectHolds(first, Entries(entries.begin(), entries.end() - 2), absent);

  // Exactly half the range filled is still dense: one value per id of the range.
  Entries half;
  for (std::int32_t id = 0; id < 998; id += 2) half.emplace_back(id, id);
  half.emplace_back(999, 1);  // 500 ids over a range of 1000
  IdMap map;
  map.Build(Entries(half), IdMap::Duplicates::kLastWins);
  ExpectHolds(map, half, {1, 998, 1000});
  EXPECT_EQ(map.MemoryBytes(), 4u * 1000u);
}

// Scattered ids take the hashed layout; ids at both extremes too.
TEST(IdMap, ScatteredIdsIncludingBothExtremes) {
  std::mt19937 random(3);
  std::set<std::int32_t> ids = {kMin, kMax, 0, -1};
  while (ids.size() < 20000) ids.insert(static_cast<std::int32_t>(random()));
  Entries entries;
  for (const std::int32_t id : ids) entries.emplace_back(id, static_cast<std::int32_t>(random()));
  std::vector<std::int32_t> absent;
  for (int i = 0; i < 20000; ++i) absent.push_back(static_cast<std::int32_t>(random()));
  std::erase_if(absent, [&ids](std::int32_t id) { return ids.count(id) != 0; });
  std::shuffle(entries.begin(), entries.end(), random);

  IdMap map;
  map.Build(Entries(entries), IdMap::Duplicates::kLastWins);
  ExpectHolds(map, entries, absent);

  map.Clear();
  EXPECT_EQ(map.Find(entries[0].first), nullptr);
  EXPECT_EQ(map.size(), 0u);
  EXPECT_EQ(map.MemoryBytes(), 0u);
  map.Build({}, IdMap::Duplicates::kLastWins);
  EXPECT_EQ(map.Find(0), nullptr);

  // The id that marks free slots (INT32_MIN, or the highest id + 1 when
  // INT32_MIN is taken) is absent like any other.
  for (const auto& [few, marker] :
       {std::pair<Entries, std::int32_t>{{{1, 5}, {1 << 20, 6}}, kMin}, {{{kMin, 5}, {1 << 20, 6}}, (1 << 20) + 1}}) {
    map.Build(Entries(few), IdMap::Duplicates::kLastWins);
    ExpectHolds(map, few, {marker});
  }
}

// Ids that all hash to the first line, and others to the last one, whose
// overflow wraps around to the first: every one stays reachable.
TEST(IdMap, CrowdedLinesOverflowIntoTheirNeighbours) {
  std::uint32_t inverse = 0x9E3779B1u;  // of the hash multiplier, by Newton's method
  for (int i = 0; i < 5; ++i) inverse *= 2 - 0x9E3779B1u * inverse;
  Entries entries;
  for (std::uint32_t h = 0; h < 40; ++h) {
    entries.emplace_back(static_cast<std::int32_t>(h * 1024 * inverse), static_cast<std::int32_t>(h));
    entries.emplace_back(static_cast<std::int32_t>((0xffffffffu - h * 1024) * inverse),
                         static_cast<std::int32_t>(100 + h));
  }
  for (const auto& [id, value] : Entries(entries)) entries.emplace_back(id, value + 1000);  // duplicates
  IdMap map;
  map.Build(Entries(entries), IdMap::Duplicates::kFirstWins);
  ExpectHolds(map, Entries(entries.begin(), entries.begin() + 80), {1, 2, 3});
}

}  // namespace
}  // namespace zevo::driver
