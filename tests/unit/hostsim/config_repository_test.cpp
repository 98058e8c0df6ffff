// The reference configuration store, and the repository over it against
// requests built by hand from the published batch layout.
#include "sim/config_repository.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

#include "../config/config_test_util.h"
#include "../util_files/files_test_support.h"
#include "sim/config_store.h"
#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

using config::test::Command;

constexpr const char* kStore = R"({"values": [
    {"key": "0x10", "type": "int32", "value": -5},
    {"key": "0x20", "type": "uint16", "value": 513},
    {"key": "0x30", "type": "wstring", "value": "text"}]})";

struct Answer {
  std::int32_t status = 0;
  std::int32_t tag = 0;
  ZEVO_DataHandleWrapper value;
};

Answer AnswerAt(const ZEVO_DataHandleWrapper& reply, std::uint32_t position, std::uint32_t key) {
  Answer answer;
  ZEVO_DataHandleWrapper command;
  EXPECT_EQ(reply.GetDataAt(0x70002, position, command), ZEVO_MSG_S_OK);
  std::uint32_t got_key = 0;
  command.GetUInt32At(0x70004, 0, &got_key);
  EXPECT_EQ(got_key, key);
  command.GetInt32At(0x70008, 0, &answer.status);
  command.GetInt32At(0x70007, 0, &answer.tag);
  command.GetDataAt(0x70005, 0, answer.value);
  return answer;
}

TEST(ConfigRepository, AnswersEachReadOnItsOwn) {
  filestest::TempFolder temp;
  temp.Write("store.json", kStore);
  ConfigRepository repository(temp.File(u"store.json"));
  ASSERT_TRUE(repository.Loaded()) << repository.LoadError();

  ZEVO_DataHandleWrapper context(0x20515u);
  context.PutString(0x207d3, "ctx", 3);
  ZEVO_DataHandleWrapper request(0x70001u);
  request.PutUInt32(0x70003, 1);
  request.PutData(context);
  // Each request carries the value 99 along.
  request.PutData(Command(0x10, kCommonOk, 5, 99));     // present
  request.PutData(Command(0x20, kCommonOk, 8, 99));     // present, binary
  request.PutData(Command(0x30, kCommonOk, 5, 99));     // stored as text: wrong type
  request.PutData(Command(0x40, kCommonOk, 5, 99));     // absent
  request.PutData(Command(0x10, kCommonOk, 5, 99, 1));  // not a read
  ZEVO_DataHandleWrapper keyless(0x70002u);
  keyless.PutInt32(0x70006, 4);
  request.PutData(keyless);  // skipped
  ZEVO_DataHandleWrapper reply;
  ASSERT_EQ(repository.Call(8209, &request, &reply), kCommonOk);

  std::uint32_t mode = 0, count = 0;
  EXPECT_EQ(reply.GetUInt32At(0x70003, 0, &mode), ZEVO_MSG_S_OK);
  EXPECT_EQ(mode, 1u);
  ZEVO_DataHandleWrapper echoed;
  ASSERT_EQ(reply.GetDataAt(0x20515, 0, echoed), ZEVO_MSG_S_OK);
  ASSERT_EQ(reply.GetSizeOf(0x70002, &count), ZEVO_MSG_S_OK);
  ASSERT_EQ(count, 5u);

  Answer present = AnswerAt(reply, 0, 0x10);
  std::int32_t number = 0;
  EXPECT_EQ(present.status, kCommonOk);
  EXPECT_EQ(present.value.GetInt32At(0x70005, 0, &number), ZEVO_MSG_S_OK);
  EXPECT_EQ(number, -5);
  Answer binary = AnswerAt(reply, 1, 0x20);
  std::uint8_t bytes[2] = {};
  EXPECT_EQ(binary.value.GetBinaryAt(0x70005, 0, bytes, 2, nullptr), ZEVO_MSG_S_OK);
  EXPECT_EQ(bytes[0] + 256 * bytes[1], 513);  // little-endian

  for (std::uint32_t position : {2u, 3u, 4u}) {
    Answer refused = AnswerAt(reply, position, position == 4 ? 0x10u : 0x10u * (position + 1));
    EXPECT_EQ(refused.status, ConfigRepository::kStatusNotAnswered) << position;
    EXPECT_EQ(refused.tag, 5);
    refused.value.GetInt32At(0x70005, 0, &number);
    EXPECT_EQ(number, 99) << "the request's own value comes back";
  }
}

TEST(ConfigRepository, BadCallsAndMissingStore) {
  filestest::TempFolder temp;
  temp.Write("store.json", kStore);
  ConfigRepository repository(temp.File(u"store.json"));
  ZEVO_DataHandleWrapper request(0x70001u), reply;
  EXPECT_EQ(repository.Call(8211, &request, &reply), kNotHandled);
  EXPECT_EQ(repository.Call(8209, nullptr, &reply), kUnsupported);
  ZEVO_DataHandleWrapper not_a_batch(0x70002u);
  EXPECT_EQ(repository.Call(8209, &not_a_batch, &reply), kUnsupported);

  ConfigRepository empty(temp.File(u"missing.json"));
  EXPECT_FALSE(empty.Loaded());
  EXPECT_NE(empty.LoadError().find("cannot open"), std::string::npos);
  request.PutData(Command(0x10, kCommonOk, 5, 99));
  ASSERT_EQ(empty.Call(8209, &request, &reply), kCommonOk);
  EXPECT_EQ(AnswerAt(reply, 0, 0x10).status, ConfigRepository::kStatusNotAnswered);
}

TEST(ConfigStore, ParsesEveryType) {
  ConfigStore store;
  std::string error;
  ASSERT_TRUE(store.Parse(R"({"values": [
      {"key": "0x10", "type": "bool", "value": true},
      {"key": "11", "type": 3, "value": -128},
      {"key": "0X12", "type": "int16", "value": 32767},
      {"key": "0x14", "type": "int64", "value": -9223372036854775808},
      {"key": "0x17", "type": 9, "value": 4294967295},
      {"key": "0x18", "type": "uint64", "value": 18446744073709551615},
      {"key": "0xffffffff", "type": "wstring", "value": "\u00e9\ud83d\ude00"}]})",
                          error))
      << error;
  EXPECT_EQ(store.Size(), 7u);
  EXPECT_EQ(store.Find(0x11)->tag, 3u);
  EXPECT_EQ(std::get<std::int64_t>(store.Find(0x11)->datum), -128);
  EXPECT_EQ(store.Find(0x17)->tag, 9u);
  EXPECT_EQ(std::get<std::int64_t>(store.Find(0x14)->datum), INT64_MIN);
  EXPECT_EQ(std::get<std::uint64_t>(store.Find(0x18)->datum), UINT64_MAX);
  EXPECT_TRUE(std::get<bool>(store.Find(0x10)->datum));
  EXPECT_EQ(std::get<std::u16string>(store.Find(0xffffffff)->datum), u"\u00e9\U0001F600");
  EXPECT_EQ(store.Find(0x19), nullptr);
}

TEST(ConfigStore, RejectsBadFilesWholly) {
  const std::pair<const char*, const char*> cases[] = {
      {"not json", "not valid JSON"},
      {R"([])", "\"values\" array"},
      {R"({"values": [1]})", "values[0]: not an object"},
      {R"({"values": [{"key": "0xg", "type": 2, "value": true}]})", "\"key\""},
      {R"({"values": [{"key": "0x100000000", "type": 2, "value": true}]})", "\"key\""},
      {R"({"values": [{"key": "1", "type": 1, "value": true}]})", "\"type\" must be a tag from 2 to 11 or a type name"},
      {R"({"values": [{"key": "1", "type": "float", "value": 1}]})", "\"type\""},
      {R"({"values": [{"key": "1", "type": "bool", "value": 1}]})", "not a bool"},
      {R"({"values": [{"key": "1", "type": "int8", "value": 128}]})", "not a int8"},
      {R"({"values": [{"key": "1", "type": "uint32", "value": -1}]})", "not a uint32"},
      {R"({"values": [{"key": "1", "type": "int32", "value": 1.5}]})", "not a int32"},
      {"{\"values\": [{\"key\": \"1\", \"type\": \"wstring\", \"value\": \"\xc3\"}]}", ""},
      {R"({"values": [{"key": "1", "type": 2, "value": true}, {"key": "0x1", "type": 2, "value": true}]})",
       "values[1]: the key appears twice"},
  };
  for (const auto& [json, message] : cases) {
    ConfigStore store;
    std::string error;
    ASSERT_TRUE(store.Parse(R"({"values": [{"key": "1", "type": 2, "value": true}]})", error));
    EXPECT_FALSE(store.Parse(json, error)) << json;
    EXPECT_NE(error.find(message), std::string::npos) << json << " -> " << error;
    EXPECT_EQ(store.Size(), 0u) << json;
  }
}

}  // namespace
}  // namespace zevo::hostsim
