#include "sim/config_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>

namespace zevo::hostsim {
namespace {

TEST(ConfigStore, ParsesEveryType) {
  ConfigStore store;
  std::string error;
  ASSERT_TRUE(store.Parse(R"({"values": [
      {"key": "0x10", "type": "bool", "value": true},
      {"key": "11", "type": 3, "value": -128},
      {"key": "0X12", "type": "int16", "value": 32767},
      {"key": "0x13", "type": "int32", "value": -2147483648},
      {"key": "0x14", "type": "int64", "value": -9223372036854775808},
      {"key": "0x15", "type": "uint8", "value": 255},
      {"key": "0x16", "type": "uint16", "value": 65535},
      {"key": "0x17", "type": 9, "value": 4294967295},
      {"key": "0x18", "type": "uint64", "value": 18446744073709551615},
      {"key": "0xffffffff", "type": "wstring", "value": "\u00e9\ud83d\ude00"}]})",
                          error))
      << error;
  EXPECT_EQ(store.Size(), 10u);
  EXPECT_EQ(store.Find(0x11)->tag, 3u);
  EXPECT_EQ(std::get<std::int64_t>(store.Find(0x11)->datum), -128);
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
      {R"({"values": [{"key": "1", "type": 1, "value": true}]})", "\"type\""},
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

  ConfigStore store;
  std::string error;
  EXPECT_FALSE(store.Load(std::filesystem::temp_directory_path() / "zevo-no-such-store.json", error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace zevo::hostsim
