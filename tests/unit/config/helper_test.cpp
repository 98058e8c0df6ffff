// ZEVO_ConfigHelper against scripted services. The driver's suites drive it
// against the reference configuration repository over real messages.
#include "config/config_helper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config_test_util.h"
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

  // A failing service: its code comes back, statuses stay.
  services.Register(
      5, 51, std::make_shared<ScriptedService>([](std::uint32_t, ZEVO_DataHandleWrapper&, ZEVO_DataHandleWrapper&) {
        return static_cast<std::int32_t>(0xe0ff1234u);
      }));
  EXPECT_EQ(helper.Execute(), static_cast<std::int32_t>(0xe0ff1234u));
  EXPECT_EQ(status, kFail);
  EXPECT_EQ(services.OpenConnections(), 0u);
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
        reply.PutData(test::Command(0x10, kCommonOk, 5, 7));                               // int32 7
        reply.PutData(test::Command(0x20, static_cast<std::int32_t>(0xe0ff0001u), 5, 8));  // refused, with a value
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
