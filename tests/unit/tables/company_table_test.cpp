#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver/engine_tables.h"
#include "zevo/msg.h"

namespace zevo::driver {
namespace {

constexpr std::uint32_t kNameKey = 133767;
constexpr std::uint32_t kIdKey = 134076;

class Message {
 public:
  Message() { ZEVO_Msg_CreateDataHandle(0, &handle_); }
  ~Message() { ZEVO_Msg_DestroyDataHandle(&handle_); }
  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;
  const ZEVO_DataHandle& handle() const { return handle_; }

  std::uint32_t Count(std::uint32_t key) const {
    std::uint32_t count = 0;
    ZEVO_Msg_GetSizeOf(&handle_, key, &count);
    return count;
  }
  std::u16string Name(std::uint32_t position) const {
    std::uint32_t length = 0;
    EXPECT_GE(ZEVO_Msg_GetWStringAt(&handle_, kNameKey, position, nullptr, 0, &length), 0);
    std::u16string text(length + 1, u'\0');
    EXPECT_GE(ZEVO_Msg_GetWStringAt(&handle_, kNameKey, position, text.data(), length + 1, &length), 0);
    text.resize(length);
    return text;
  }
  std::uint32_t Id(std::uint32_t position) const {
    std::uint32_t id = 0;
    EXPECT_GE(ZEVO_Msg_GetUInt32At(&handle_, kIdKey, position, &id), 0);
    return id;
  }

 private:
  ZEVO_DataHandle handle_{};
};

TEST(CompanyIdNameTable, FirstRowWinsForDuplicateIdsAndNames) {
  CompanyIdNameTable table;
  table.AddRow(10, u"Acme");
  table.AddRow(11, u"Acme");     // same name, second row
  table.AddRow(10, u"Initech");  // same id, second row
  table.AddRow(12, u"Globex");
  table.Seal();
  EXPECT_EQ(table.size(), 4u);

  std::int32_t id = 0;
  ASSERT_TRUE(table.GetIdByName(u"Acme", id));
  EXPECT_EQ(id, 10);
  std::u16string name;
  ASSERT_TRUE(table.GetNameById(11, name));  // the second row's id keeps its name
  EXPECT_EQ(name, u"Acme");
  ASSERT_TRUE(table.GetNameById(10, name));
  EXPECT_EQ(name, u"Acme");
  ASSERT_TRUE(table.GetIdByName(u"Initech", id));  // a name of a shadowed id row
  EXPECT_EQ(id, 10);
  EXPECT_FALSE(table.GetIdByName(u"acme", id));
  EXPECT_FALSE(table.GetIdByName(u"Acm", id));
  EXPECT_FALSE(table.GetNameById(13, name));

  table.Clear();
  EXPECT_EQ(table.size(), 0u);
  EXPECT_FALSE(table.GetIdByName(u"Acme", id));
  EXPECT_FALSE(table.GetNameById(10, name));
}

// A lookup by id reads the name's length kept beside it: empty names and
// names longer than 65535 code units come back whole.
TEST(CompanyIdNameTable, NamesOfEveryLengthByIdAndByName) {
  CompanyIdNameTable table;
  const std::u16string longName(70000, u'L');
  table.AddRow(1, u"");
  table.AddRow(2, longName);
  table.AddRow(3, u"x");
  table.Seal();
  std::u16string name = u"stale";
  ASSERT_TRUE(table.GetNameById(1, name));
  EXPECT_EQ(name, u"");
  ASSERT_TRUE(table.GetNameById(2, name));
  EXPECT_EQ(name, longName);
  ASSERT_TRUE(table.GetNameById(3, name));
  EXPECT_EQ(name, u"x");
  std::int32_t id = 0;
  ASSERT_TRUE(table.GetIdByName(longName, id));
  EXPECT_EQ(id, 2);
  ASSERT_TRUE(table.GetIdByName(u"x", id));
  EXPECT_EQ(id, 3);
}

TEST(CompanyIdNameTable, WritesNamesInCodeUnitOrderWithTheirIds) {
  CompanyIdNameTable table;
  // U+1F600 is a surrogate pair (0xd83d 0xde00): by code units it sorts
  // before U+FF21, by code points after it.
  const std::vector<std::pair<std::int32_t, std::u16string>> rows = {
      {4, u"beta"}, {-2, u"Zeta"}, {3, u"alpha"}, {5, u"\u00c4rger"},
      {6, u"\uff21"}, {7, u"\U0001f600"}, {8, u"Zeta"}, {9, u""},
  };
  for (const auto& [id, name] : rows) table.AddRow(id, name);
  table.Seal();

  Message message;
  ASSERT_TRUE(table.WriteToMessage(message.handle()));
  const std::vector<std::pair<std::uint32_t, std::u16string>> expected = {
      {9, u""}, {0xfffffffeu, u"Zeta"}, {3, u"alpha"}, {4, u"beta"},
      {5, u"\u00c4rger"}, {7, u"\U0001f600"}, {6, u"\uff21"},
  };
  ASSERT_EQ(message.Count(kNameKey), expected.size());
  ASSERT_EQ(message.Count(kIdKey), expected.size());
  for (std::uint32_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(message.Name(i), expected[i].second) << i;
    EXPECT_EQ(message.Id(i), expected[i].first) << i;
  }

  // Names sharing a long prefix, one of them the prefix itself.
  CompanyIdNameTable shared;
  const std::vector<std::u16string> names = {u"Company 10", u"Company 9", u"Company 1",
                                             u"Company",    u"Company 100000", u"Company 1"};
  for (std::size_t i = 0; i < names.size(); ++i) shared.AddRow(static_cast<std::int32_t>(i), names[i]);
  shared.Seal();
  Message sorted;
  ASSERT_TRUE(shared.WriteToMessage(sorted.handle()));
  ASSERT_EQ(sorted.Count(kNameKey), 5u);
  const std::vector<std::pair<std::uint32_t, std::u16string>> inOrder = {
      {3, u"Company"}, {2, u"Company 1"}, {0, u"Company 10"}, {4, u"Company 100000"},
      {1, u"Company 9"}};
  for (std::uint32_t i = 0; i < inOrder.size(); ++i) {
    EXPECT_EQ(sorted.Name(i), inOrder[i].second) << i;
    EXPECT_EQ(sorted.Id(i), inOrder[i].first) << i;
  }

  CompanyIdNameTable empty;
  Message nothing;
  EXPECT_FALSE(empty.WriteToMessage(nothing.handle()));
  const ZEVO_DataHandle dead{};
  EXPECT_FALSE(table.WriteToMessage(dead));
}

TEST(CompanyIdNameTable, MemoryWithinTwiceTheRawKeysAndNames) {
  CompanyIdNameTable table;
  std::size_t raw = 0;
  for (int i = 1; i <= 20000; ++i) {
    std::u16string name = u"Company ";
    for (char c : std::to_string(i)) name.push_back(static_cast<char16_t>(c));
    table.AddRow(i, name);
    raw += 4 + 2 * name.size();
  }
  table.Seal();
  EXPECT_LE(table.MemoryBytes(), 2 * raw);
  EXPECT_GE(table.MemoryBytes(), raw);
  std::int32_t id = 0;
  ASSERT_TRUE(table.GetIdByName(u"Company 19999", id));
  EXPECT_EQ(id, 19999);
}

}  // namespace
}  // namespace zevo::driver
