#include "driver/id_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace zevo::driver {
namespace {

using Entries = IdMap::Entries;
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Builds `entries` with either rule for duplicates and compares the map with a
// std::map built by the same rule: every id found with its value and listed
// back, `absent` not found. Returns the bytes of the last map.
std::size_t ExpectHolds(const Entries& entries, const std::vector<std::int32_t>& absent) {
  IdMap map;
  for (const auto rule : {IdMap::Duplicates::kFirstWins, IdMap::Duplicates::kLastWins}) {
    std::map<std::int32_t, std::int32_t> expected;
    for (const auto& [id, value] : entries) {
      if (rule == IdMap::Duplicates::kLastWins || expected.count(id) == 0) expected[id] = value;
    }
    map.Build(entries, rule);
    for (const auto& [id, value] : expected) {
      const std::int32_t* found = map.Find(id);
      EXPECT_TRUE(found != nullptr && *found == value) << id;
    }
    for (const std::int32_t id : absent) EXPECT_EQ(map.Find(id), nullptr) << id;
    EXPECT_EQ(map.size(), expected.size());
    Entries listed = map.AllEntries();
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, Entries(expected.begin(), expected.end()));
  }
  return map.MemoryBytes();
}

// Ids in order without gaps are copied in one pass (up to the highest id
// there is; a repeated id is not a sequence); ids around them are absent.
TEST(IdMap, SequentialIdsAsDelivered) {
  Entries entries;
  for (std::int32_t id = -3; id < 5000; ++id) entries.emplace_back(id, id == 9 ? kMin : id == 10 ? kMax : 7 * id);
  EXPECT_EQ(ExpectHolds(entries, {-4, 5000, kMin, kMax}), 4 * entries.size());
  ExpectHolds({{kMax - 1, 1}, {kMax, 2}}, {kMin, kMax - 2});
  ExpectHolds({{1, 1}, {2, 2}, {2, 3}}, {3});
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
  ExpectHolds(entries, absent);

  // Exactly half the range filled is still dense: one value per id of the range.
  Entries half;
  for (std::int32_t id = 0; id < 998; id += 2) half.emplace_back(id, id);
  half.emplace_back(999, 1);  // 500 ids over a range of 1000
  EXPECT_EQ(ExpectHolds(half, {1, 998, 1000}), 4u * 1000u);
}

// Scattered ids take the hashed layout; ids at both extremes too. The id that
// marks free slots (INT32_MIN, or the highest id + 1 when INT32_MIN is taken)
// is absent like any other.
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
  ExpectHolds(entries, absent);
  ExpectHolds({{1, 5}, {1 << 20, 6}}, {kMin});
  ExpectHolds({{kMin, 5}, {1 << 20, 6}}, {(1 << 20) + 1});
  EXPECT_EQ(ExpectHolds({}, {0}), 0u);
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
  ExpectHolds(entries, {1, 2, 3});
}

}  // namespace
}  // namespace zevo::driver
