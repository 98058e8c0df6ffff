#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/engine_tables.h"
#include "zevo/msg.h"

namespace zevo::driver {
namespace {

constexpr std::uint32_t kNameKey = 133767;
constexpr std::uint32_t kIdKey = 134076;

using Listed = std::vector<std::pair<std::uint32_t, std::u16string>>;

// The (id, name) pairs a table wrote into a message; none when it wrote none.
std::optional<Listed> Written(const CompanyIdNameTable& table) {
  ZEVO_DataHandle message{};
  ZEVO_Msg_CreateDataHandle(0, &message);
  if (!table.WriteToMessage(message)) {
    ZEVO_Msg_DestroyDataHandle(&message);
    return std::nullopt;
  }
  std::uint32_t count = 0, ids = 0;
  ZEVO_Msg_GetSizeOf(&message, kNameKey, &count);
  ZEVO_Msg_GetSizeOf(&message, kIdKey, &ids);
  EXPECT_EQ(count, ids);
  Listed listed(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    char16_t name[32] = {};
    std::uint32_t length = 0;
    EXPECT_GE(ZEVO_Msg_GetWStringAt(&message, kNameKey, i, name, 32, &length), 0);
    listed[i].second.assign(name, length);
    EXPECT_GE(ZEVO_Msg_GetUInt32At(&message, kIdKey, i, &listed[i].first), 0);
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
  EXPECT_EQ(IdOf(table, u"Acm"), -999);
  EXPECT_EQ(NameOf(table, 13), u"-");
  table.Clear();
  EXPECT_EQ(IdOf(table, u"Acme"), -999);
  EXPECT_EQ(NameOf(table, 10), u"-");
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
