#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "driver/engine_tables.h"
#include "driver/table_rows.h"
#include "zevo/msg.h"

namespace zevo::driver {
namespace {

constexpr char16_t kSep = u'\x7f';

TEST(RowNumber, ReadsAsWtolDoes) {
  const struct {
    std::u16string text;
    std::int32_t value;
  } cases[] = {
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
  EXPECT_EQ(table.Find(0), 7);
  EXPECT_EQ(table.Find(4), std::nullopt);

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

constexpr std::uint32_t kNameKey = 133767;
constexpr std::uint32_t kIdKey = 134076;

using Listed = std::vector<std::pair<std::uint32_t, std::u16string>>;

// The (id, name) pairs a table wrote into a message; none when it wrote none.
std::optional<Listed> Written(const CompanyIdNameTable& table) {
  ZEVO_DataHandle message{};
  ZEVO_Msg_CreateDataHandle(0, &message);
  std::optional<Listed> listed;
  std::uint32_t count = 0;
  if (table.WriteToMessage(message) && ZEVO_Msg_GetSizeOf(&message, kIdKey, &count) >= 0) listed.emplace(count);
  for (std::uint32_t i = 0; i < count; ++i) {  // a name missing reads as empty, a missing id as 0
    char16_t name[32] = {};
    std::uint32_t length = 0;
    ZEVO_Msg_GetWStringAt(&message, kNameKey, i, name, 32, &length);
    (*listed)[i].second.assign(name, length);
    ZEVO_Msg_GetUInt32At(&message, kIdKey, i, &(*listed)[i].first);
  }
  ZEVO_Msg_DestroyDataHandle(&message);
  return listed;
}

// The name of `id`, "-" when there is none; the id of `name`, -999 when none.
std::u16string NameOf(const CompanyIdNameTable& table, std::int32_t id) {
  std::u16string name = u"stale";
  return table.GetNameById(id, name) ? name : u"-";
}
std::int32_t IdOf(const CompanyIdNameTable& table, const std::u16string& name) {
  std::int32_t id = 0;
  return table.GetIdByName(name, id) ? id : -999;
}

// Lookups by id read the name's length kept beside it: empty names and names
// longer than 65535 code units come back whole.
TEST(CompanyIdNameTable, FirstRowWinsForDuplicateIdsAndNamesOfEveryLength) {
  CompanyIdNameTable table;
  const std::u16string longName(70000, u'L');
  table.AddRow(10, u"Acme");
  table.AddRow(11, u"Acme");     // same name, second row
  table.AddRow(10, u"Initech");  // same id, second row
  table.AddRow(12, u"Globex");
  table.AddRow(1, u"");
  table.AddRow(2, longName);
  table.Seal();
  EXPECT_EQ(table.size(), 6u);
  EXPECT_EQ(NameOf(table, 1), u"");
  EXPECT_EQ(NameOf(table, 2), longName);
  EXPECT_EQ(IdOf(table, longName), 2);
  EXPECT_EQ(IdOf(table, u"Acme"), 10);
  EXPECT_EQ(NameOf(table, 11), u"Acme");  // the second row's id keeps its name
  EXPECT_EQ(NameOf(table, 10), u"Acme");
  EXPECT_EQ(IdOf(table, u"Initech"), 10);  // a name of a shadowed id row
  EXPECT_EQ(IdOf(table, u"acme"), -999);
  EXPECT_EQ(NameOf(table, 13), u"-");
  table.Clear();
  EXPECT_EQ(IdOf(table, u"Acme"), -999);
}

TEST(CompanyIdNameTable, WritesNamesInCodeUnitOrderWithTheirIds) {
  CompanyIdNameTable table;
  // By code units U+1F600 (0xd83d 0xde00) sorts before U+FF21, by code points
  // after it; U+2040 sorts by all 16 bits of its first code unit.
  const std::vector<std::pair<std::int32_t, std::u16string>> rows = {
      {4, u"beta"},       {-2, u"Zeta"}, {3, u"alpha"}, {5, u"\u00c4rger"}, {6, u"\uff21"},
      {7, u"\U0001f600"}, {8, u"Zeta"},  {9, u""},      {10, u"\u2040"},
  };
  for (const auto& [id, name] : rows) table.AddRow(id, name);
  table.Seal();

  EXPECT_EQ(Written(table), (Listed{{9, u""},
                                    {0xfffffffeu, u"Zeta"},
                                    {3, u"alpha"},
                                    {4, u"beta"},
                                    {5, u"\u00c4rger"},
                                    {10, u"\u2040"},
                                    {7, u"\U0001f600"},
                                    {6, u"\uff21"}}));

  // Names sharing a long prefix, one of them the prefix itself.
  CompanyIdNameTable shared;
  const std::vector<std::u16string> names = {u"Company 10", u"Company 9",      u"Company 1",
                                             u"Company",    u"Company 100000", u"Company 1"};
  for (std::size_t i = 0; i < names.size(); ++i) shared.AddRow(static_cast<std::int32_t>(i), names[i]);
  shared.Seal();
  EXPECT_EQ(
      Written(shared),
      (Listed{{3, u"Company"}, {2, u"Company 1"}, {0, u"Company 10"}, {4, u"Company 100000"}, {1, u"Company 9"}}));
  EXPECT_EQ(Written(CompanyIdNameTable{}), std::nullopt);
  const ZEVO_DataHandle dead{};
  EXPECT_FALSE(table.WriteToMessage(dead));
}

}  // namespace
}  // namespace zevo::driver
