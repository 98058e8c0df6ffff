// The reference repository against requests built by hand from the
// published batch layout.
#include "sim/config_repository.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

class TempFile {
 public:
  explicit TempFile(const std::string& text) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() / ("zevo-hostsim-" + std::string(info->name()) + ".json");
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TempFile() { std::filesystem::remove(path_); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

constexpr const char* kStore = R"({"values": [
    {"key": "0x10", "type": "int32", "value": -5},
    {"key": "0x20", "type": "uint16", "value": 513},
    {"key": "0x30", "type": "wstring", "value": "text"}]})";

ZEVO_DataHandleWrapper RequestCommand(std::int32_t operation, std::uint32_t key, std::int32_t tag) {
  ZEVO_DataHandleWrapper value(0x70005u), command(0x70002u);
  value.PutInt32(0x70005, 99);  // what the caller sends along
  command.PutInt32(0x70006, operation), command.PutUInt32(0x70004, key), command.PutInt32(0x70008, 0x20ff0000);
  command.PutInt32(0x70007, tag), command.PutData(value);
  return command;
}

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
  TempFile store(kStore);
  ConfigRepository repository(store.Path());
  ASSERT_TRUE(repository.Loaded()) << repository.LoadError();

  ZEVO_DataHandleWrapper context(0x20515u);
  context.PutString(0x207d3, "ctx", 3);
  ZEVO_DataHandleWrapper request(0x70001u);
  request.PutUInt32(0x70003, 1);
  request.PutData(context);
  request.PutData(RequestCommand(4, 0x10, 5));   // present
  request.PutData(RequestCommand(4, 0x20, 8));   // present, binary
  request.PutData(RequestCommand(4, 0x30, 5));   // stored as text: wrong type
  request.PutData(RequestCommand(4, 0x40, 5));   // absent
  request.PutData(RequestCommand(1, 0x10, 5));   // not a read
  ZEVO_DataHandleWrapper keyless(0x70002u);
  keyless.PutInt32(0x70006, 4);
  request.PutData(keyless);                      // skipped
  ZEVO_DataHandleWrapper reply;
  ASSERT_EQ(repository.Call(8209, &request, &reply), kCommonOk);

  std::uint32_t name_id = 0, mode = 0, count = 0;
  reply.GetNameID(&name_id);
  EXPECT_EQ(name_id, 0x70001u);
  EXPECT_EQ(reply.GetUInt32At(0x70003, 0, &mode), ZEVO_MSG_S_OK);
  EXPECT_EQ(mode, 1u);
  ZEVO_DataHandleWrapper echoed;
  ASSERT_EQ(reply.GetDataAt(0x20515, 0, echoed), ZEVO_MSG_S_OK);
  char id[8] = {};
  EXPECT_EQ(echoed.GetStringAt(0x207d3, 0, id, sizeof id, nullptr), ZEVO_MSG_S_OK);
  EXPECT_STREQ(id, "ctx");
  ASSERT_EQ(reply.GetSizeOf(0x70002, &count), ZEVO_MSG_S_OK);
  ASSERT_EQ(count, 5u);

  Answer present = AnswerAt(reply, 0, 0x10);
  std::int32_t number = 0;
  EXPECT_EQ(present.status, kCommonOk);
  EXPECT_EQ(present.tag, 5);
  EXPECT_EQ(present.value.GetInt32At(0x70005, 0, &number), ZEVO_MSG_S_OK);
  EXPECT_EQ(number, -5);

  Answer binary = AnswerAt(reply, 1, 0x20);
  std::uint8_t bytes[2] = {};
  std::uint32_t length = 0;
  EXPECT_EQ(binary.status, kCommonOk);
  EXPECT_EQ(binary.value.GetBinaryAt(0x70005, 0, bytes, 2, &length), ZEVO_MSG_S_OK);
  EXPECT_EQ(length, 2u);
  EXPECT_EQ(bytes[0], 1);  // 513 little-endian
  EXPECT_EQ(bytes[1], 2);

  for (std::uint32_t position : {2u, 3u, 4u}) {
    Answer refused = AnswerAt(reply, position, position == 4 ? 0x10u : 0x10u * (position + 1));
    EXPECT_EQ(refused.status, ConfigRepository::kStatusNotAnswered) << position;
    EXPECT_EQ(refused.tag, 5);
    refused.value.GetInt32At(0x70005, 0, &number);
    EXPECT_EQ(number, 99) << "the request's own value comes back";
  }
  EXPECT_EQ(repository.Requests(), 1u);
}

TEST(ConfigRepository, BadCallsAndMissingStore) {
  TempFile store(kStore);
  ConfigRepository repository(store.Path());
  ZEVO_DataHandleWrapper request(0x70001u), reply;
  EXPECT_EQ(repository.Call(8211, &request, &reply), kNotHandled);
  EXPECT_EQ(repository.Call(8209, nullptr, &reply), kUnsupported);
  EXPECT_EQ(repository.Call(8210, &request, nullptr), kUnsupported);
  ZEVO_DataHandleWrapper not_a_batch(0x70002u);
  EXPECT_EQ(repository.Call(8209, &not_a_batch, &reply), kUnsupported);
  EXPECT_EQ(repository.Call(8210, &request, &reply), kCommonOk);  // empty batch, empty answer
  std::uint32_t count = 7;
  reply.GetSizeOf(0x70002, &count);
  EXPECT_EQ(count, 0u);

  ConfigRepository empty(std::filesystem::temp_directory_path() / "zevo-hostsim-missing.json");
  EXPECT_FALSE(empty.Loaded());
  EXPECT_NE(empty.LoadError().find("cannot open"), std::string::npos);
  request.PutData(RequestCommand(4, 0x10, 5));
  ASSERT_EQ(empty.Call(8209, &request, &reply), kCommonOk);
  EXPECT_EQ(AnswerAt(reply, 0, 0x10).status, ConfigRepository::kStatusNotAnswered);
}

}  // namespace
}  // namespace zevo::hostsim
