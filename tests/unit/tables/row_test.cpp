#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "driver/engine_tables.h"
#include "driver/table_rows.h"

namespace zevo::driver {
namespace {

constexpr char16_t kSep = u'\x7f';

TEST(RowNumber, ReadsAsWtolDoes) {
  const struct {
    std::u16string text;
    std::int32_t value;
  } cases[] = {
      {u"42", 42},
      {u"-42", -42},
      {u"+7", 7},
      {u" \t\r\n\v\f12", 12},
      {u"12abc", 12},
      {u"", 0},
      {u"- 5", 0},
      {u"2147483647", 2147483647},
      {u"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {u"2147483648", 2147483647},
      {u"-99999999999999999999", std::numeric_limits<std::int32_t>::min()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RowNumber(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

// The enumerations read rows in one pass; they must see what RowField and
// RowNumber see.
TEST(RowReader, AgreesWithRowFieldAndRowNumber) {
  const std::u16string fields = std::u16string(u"17") + kSep + u"Acme Corp" + kSep + kSep + u"x";
  EXPECT_EQ(RowField(fields, 1), u"Acme Corp");
  EXPECT_EQ(RowField(fields, 3), u"x");
  const std::u16string rows[] = {
      u"",
      std::u16string(u"12") + kSep + u" -34x" + kSep + kSep + u"+5" + kSep + u"name 6",
      std::u16string(u"abc") + kSep + u"99999999999" + kSep + u"-",
      std::u16string(1, kSep) + kSep + u"3",
      u"\t\n42",
  };
  for (const std::u16string& row : rows) {
    for (std::size_t n = 0; n < 6; ++n) {
      RowReader numbers(row.c_str());
      EXPECT_EQ(numbers.Field(n).TakeNumber(), RowNumber(RowField(row, n))) << n;
      RowReader texts(row.c_str());
      EXPECT_EQ(texts.Field(n).Text(), RowField(row, n)) << n;
      RowReader both(row.c_str());  // a number taken, then a later field
      both.TakeNumber();
      EXPECT_EQ(both.Field(n + 1).Text(), RowField(row, n + 1)) << n;
    }
  }
  RowBuffer buffer;
  std::fill_n(buffer.data(), buffer.capacity(), u'7');  // no terminator from the engine
  EXPECT_EQ(buffer.Text().size(), static_cast<std::size_t>(buffer.capacity()));
  EXPECT_EQ(RowReader(buffer.c_str()).TakeNumber(), 2147483647);
}

TEST(IdValueTable, LastRowWinsAndLookupsAfterSeal) {
  IdValueTable table;
  for (auto [key, value] : std::vector<std::pair<int, int>>{{5, 1}, {-3, 2}, {5, 3}, {9, 4}, {-3, 5}, {5, 6}, {0, 7}}) {
    table.Assign(key, value);
  }
  table.Seal();
  EXPECT_EQ(table.size(), 4u);
  EXPECT_EQ(table.Find(5), 6);
  EXPECT_EQ(table.Find(-3), 5);
  EXPECT_EQ(table.Find(9), 4);
  EXPECT_EQ(table.Find(0), 7);
  EXPECT_EQ(table.Find(4), std::nullopt);
  EXPECT_EQ(ThreatLevelOf(table, 9), 4);
  EXPECT_EQ(ThreatLevelOf(table, 1000), 50);

  // Rows assigned after sealing overwrite the sealed ones once sealed again.
  table.Assign(9, 40);
  table.Assign(11, 41);
  EXPECT_EQ(table.Find(9), std::nullopt);  // not sealed: nothing answered
  table.Seal();
  EXPECT_EQ(table.size(), 5u);
  EXPECT_EQ(table.Find(9), 40);
  EXPECT_EQ(table.Find(11), 41);
  EXPECT_EQ(table.Find(-3), 5);

  table.Clear();
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.Find(5), std::nullopt);
  EXPECT_EQ(table.MemoryBytes(), 0u);
}

}  // namespace
}  // namespace zevo::driver
