// ZEVO_ConfigHelper end to end: against the reference configuration
// repository over real messages, and against scripted services.
#include "config/config_helper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../util_files/files_test_support.h"
#include "sim/config_repository.h"
#include "sim/services.h"
#include "zevo/result.h"

namespace zevo::config {
namespace {

constexpr std::int32_t kAbsent = static_cast<std::int32_t>(0xe0ff0007u);

class ScriptedService final : public hostsim::HostInterface {
 public:
  using Script = std::function<std::int32_t(std::uint32_t, ZEVO_DataHandleWrapper&, ZEVO_DataHandleWrapper&)>;
  explicit ScriptedService(Script script) : script_(std::move(script)) {}
  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override {
    return script_(function, *static_cast<ZEVO_DataHandleWrapper*>(input),
                   *static_cast<ZEVO_DataHandleWrapper*>(output));
  }

 private:
  Script script_;
};

TEST(ConfigHelper, ExecuteAgainstReferenceRepository) {
  filestest::TempFolder temp;
  temp.Write("store.json", R"({"values": [
      {"key": "0x12711000", "type": "bool", "value": true},
      {"key": "0x10c10000", "type": 2, "value": false},
      {"key": "0x10c20001", "type": "wstring", "value": "D:\\bk\\\u00e9"},
      {"key": "0x12770003", "type": "int32", "value": 11},
      {"key": "0x10f20004", "type": "int32", "value": 5},
      {"key": "0x1", "type": "uint64", "value": 18446744073709551615},
      {"key": "0x2", "type": "int8", "value": -128}]})");
  auto repository = std::make_shared<hostsim::ConfigRepository>(temp.File(u"store.json"));
  ASSERT_TRUE(repository->Loaded()) << repository->LoadError();
  hostsim::Services services;
  services.Register(5, 51, repository);

  ZEVO_Context context{};
  ZEVO_ConfigHelper helper(services.Organizer(), context);
  ASSERT_TRUE(helper.Valid());
  std::vector<std::int32_t> status(8, kFail);
  bool first = false, second = true;
  std::u16string folder = u"old", exclusions = u"untouched";
  std::int32_t setting = 4, mode = 1;
  std::uint64_t big = 0;
  std::int8_t tiny = 0;
  EXPECT_EQ(helper.AddRead(0x12711000, 2, &status[0], &first), kCommonOk);
  EXPECT_EQ(helper.AddRead(0x10c10000, 2, &status[1], &second), kCommonOk);
  EXPECT_EQ(helper.AddRead(0x10c20001, 11, &status[2], &folder), kCommonOk);
  EXPECT_EQ(helper.AddRead(0x10f20004, 11, &status[3], &exclusions), kCommonOk);  // stored as int32
  EXPECT_EQ(helper.AddRead(0x12770003, &status[4], &setting), kCommonOk);
  EXPECT_EQ(helper.AddRead(0xc70000, &status[5], &mode), kCommonOk);  // absent
  EXPECT_EQ(helper.AddRead(0x1, &status[6], &big), kCommonOk);
  EXPECT_EQ(helper.AddRead(0x2, &status[7], &tiny), kCommonOk);
  EXPECT_EQ(helper.Execute(), kCommonOk);

  EXPECT_EQ(status, (std::vector<std::int32_t>{kCommonOk, kCommonOk, kCommonOk, kAbsent, kCommonOk, kAbsent, kCommonOk,
                                               kCommonOk}));
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(folder, u"D:\\bk\\\u00e9");
  EXPECT_EQ(exclusions, u"untouched");
  EXPECT_EQ(setting, 11);
  EXPECT_EQ(mode, 1);
  EXPECT_EQ(big, UINT64_MAX);
  EXPECT_EQ(tiny, -128);
  EXPECT_EQ(repository->Requests(), 1u);
  EXPECT_EQ(services.OpenConnections(), 0u);
}

TEST(ConfigHelper, ExecuteWithoutServiceLeavesStatuses) {
  hostsim::Services services;  // offers no module 5
  ZEVO_ConfigHelper helper(services.Organizer());
  std::int32_t status = kFail;
  std::int32_t value = 77;
  ASSERT_EQ(helper.AddRead(0xc70000, 5, &status, &value), kCommonOk);
  EXPECT_EQ(helper.Execute(), kNoConnection);
  EXPECT_EQ(status, kFail);
  EXPECT_EQ(value, 77);
  EXPECT_EQ(services.OpenRequests(), 1u);

  ZEVO_ConfigHelper orphan(nullptr);
  ASSERT_EQ(orphan.AddRead(0xc70000, 5, &status, &value), kCommonOk);
  EXPECT_EQ(orphan.Execute(), kNoConnection);
  EXPECT_EQ(status, kFail);

  // A failing service: its code comes back, statuses stay.
  services.Register(
      5, 51, std::make_shared<ScriptedService>([](std::uint32_t, ZEVO_DataHandleWrapper&, ZEVO_DataHandleWrapper&) {
        return static_cast<std::int32_t>(0xe0ff1234u);
      }));
  EXPECT_EQ(helper.Execute(), static_cast<std::int32_t>(0xe0ff1234u));
  EXPECT_EQ(status, kFail);
  EXPECT_EQ(services.OpenConnections(), 0u);
}

ZEVO_DataHandleWrapper ReplyCommand(std::uint32_t key, std::int32_t status, std::int32_t tag, std::int32_t datum) {
  ZEVO_DataHandleWrapper value(0x70005u), command(0x70002u);
  value.PutInt32(0x70005, datum);
  command.PutInt32(0x70006, 4), command.PutUInt32(0x70004, key), command.PutInt32(0x70008, status);
  command.PutInt32(0x70007, tag), command.PutData(value);
  return command;
}

TEST(ConfigHelper, RequestContentsAndReplyApplication) {
  hostsim::Services services;
  std::uint32_t function = 0, commands = 0;
  std::u16string sent_text;
  services.Register(
      5, 51,
      std::make_shared<ScriptedService>([&](std::uint32_t fn, ZEVO_DataHandleWrapper& in, ZEVO_DataHandleWrapper& out) {
        function = fn;
        in.GetSizeOf(0x70002, &commands);
        ZEVO_DataHandleWrapper text_command, value;
        in.GetDataAt(0x70002, 1, text_command);
        text_command.GetDataAt(0x70005, 0, value);
        value.GetWStringAt(0x70005, 0, &sent_text);
        ZEVO_DataHandleWrapper reply(0x70001u);
        reply.PutData(ReplyCommand(0x10, kCommonOk, 5, 7));                               // int32 7
        reply.PutData(ReplyCommand(0x20, static_cast<std::int32_t>(0xe0ff0001u), 5, 8));  // refused, with a value
        out = reply;
        return kCommonOk;
      }));

  ZEVO_ConfigHelper helper(services.Organizer(), /*read=*/false);
  std::vector<std::int32_t> status(4, kFail);
  std::int32_t number = 0;
  bool flag = false;
  std::u16string text = u"current";
  std::int32_t missing = 5;
  EXPECT_EQ(helper.AddRead(0x10, 5, &status[0], &number), kCommonOk);
  EXPECT_EQ(helper.AddRead(0x10, 2, &status[1], &flag), kCommonOk);  // same key: one command
  EXPECT_EQ(helper.AddRead(0x20, 11, &status[2], &text), kCommonOk);
  EXPECT_EQ(helper.AddRead(0x30, 5, &status[3], &missing), kCommonOk);
  std::int32_t ignored = 0;
  EXPECT_EQ(helper.AddRead(0x40, 12, &ignored, &number), kUnsupported);
  EXPECT_EQ(helper.AddRead(0x40, 0, &ignored, &number), kUnsupported);
  EXPECT_EQ(helper.AddRead(0x40, 5, nullptr, &number), kUnsupported);
  EXPECT_EQ(helper.AddRead(0x40, 5, &ignored, nullptr), kUnsupported);
  EXPECT_EQ(helper.Execute(), kCommonOk);

  EXPECT_EQ(function, 8210u);  // read flag clear
  EXPECT_EQ(commands, 3u);     // 0x10, 0x20, 0x30
  EXPECT_EQ(sent_text, u"current");
  // 0x30 is missing from the reply; 0x20 was refused: its status, the text kept.
  EXPECT_EQ(status, (std::vector<std::int32_t>{kCommonOk, kCommonOk, static_cast<std::int32_t>(0xe0ff0001u), kAbsent}));
  EXPECT_EQ(number, 7);
  EXPECT_TRUE(flag);  // tag 5 read into a bool
  EXPECT_EQ(text, u"current");
  EXPECT_EQ(missing, 5);
  EXPECT_EQ(ignored, 0);
}

}  // namespace
}  // namespace zevo::config
