#include "sim/scan_manager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "zevo/msg_wrapper.h"
#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

using Values = std::vector<std::int32_t>;

TEST(ScanManager, RecordsCommandsWithTheValuesOfTheirMessage) {
  ScanManager manager;
  ZEVO_DataHandleWrapper message;
  message.PutInt32(kRegistrationCommandIndex, 8282);
  message.PutInt32(kRegistrationCommandIndex, 8283);
  message.PutInt32(kRegistrationModuleIndex, 10001);
  message.PutInt32(kRegistrationInterfaceIndex, 100011);

  EXPECT_EQ(manager.Call(14099, &message, nullptr), kCommonOk);
  manager.SetAnswer(kNoConnection);
  int output = 0;
  EXPECT_EQ(manager.Call(14100, &message, &output), kNoConnection);

  const auto received = manager.Received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].function, 14099u);
  EXPECT_TRUE(received[0].liveMessage);
  EXPECT_FALSE(received[0].outputGiven);
  EXPECT_EQ(received[0].nameId, 0u);
  EXPECT_EQ(received[0].commands, (Values{8282, 8283}));
  EXPECT_EQ(received[0].moduleIds, (Values{10001}));
  EXPECT_EQ(received[0].interfaceIds, (Values{100011}));
  EXPECT_EQ(received[0].answer, kCommonOk);
  EXPECT_EQ(received[1].function, 14100u);
  EXPECT_TRUE(received[1].outputGiven);
  EXPECT_EQ(received[1].answer, kNoConnection);
}

TEST(ScanManager, MalformedInputAndOtherFunctions) {
  ScanManager manager;
  // A value of another type under the command index ends the list there.
  ZEVO_DataHandleWrapper message(7);
  message.PutInt32(kRegistrationCommandIndex, 1);
  message.PutUInt32(kRegistrationCommandIndex, 2);
  message.PutInt32(kRegistrationCommandIndex, 3);
  EXPECT_EQ(manager.Call(14099, &message, nullptr), kCommonOk);

  EXPECT_EQ(manager.Call(14099, nullptr, nullptr), kUnsupported);
  ZEVO_DataHandleWrapper dead;
  const ZEVO_DataHandleWrapper taken(std::move(dead));  // leaves `dead` without a message
  EXPECT_EQ(manager.Call(14100, &dead, nullptr), kUnsupported);
  EXPECT_EQ(manager.Call(14101, &message, nullptr), kNotHandled);

  const auto received = manager.Received();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].nameId, 7u);
  EXPECT_EQ(received[0].commands, (Values{1}));
  EXPECT_TRUE(received[0].moduleIds.empty());
  EXPECT_FALSE(received[1].liveMessage);
  EXPECT_FALSE(received[2].liveMessage);
  EXPECT_EQ(received[2].answer, kUnsupported);
}

}  // namespace
}  // namespace zevo::hostsim
