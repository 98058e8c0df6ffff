// The reference host's services: the table, the scan manager, the RCM table,
// the module loader and referential items.
#include "sim/services.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "sim/executable_folder.h"
#include "sim/plugin_module.h"
#include "sim/rcm_table.h"
#include "sim/referential_job.h"
#include "sim/scan_manager.h"
#include "zevo/msg_wrapper.h"
#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

using Values = std::vector<std::int32_t>;

class Echo final : public HostInterface {
 public:
  explicit Echo(std::int32_t answer) : answer_(answer) {}
  std::int32_t Call(std::uint32_t function, void* input, void* output) noexcept override {
    last = {function, input, output};
    return answer_;
  }
  std::tuple<std::uint32_t, void*, void*> last{};

 private:
  std::int32_t answer_;
};

TEST(Services, OpenCallReleaseThroughTheTable) {
  Services services;
  SPluginInterfaceOrganizer* table = services.Organizer();
  auto config = std::make_shared<Echo>(11);
  services.Register(5, 51, config);
  services.Register(2, 21, std::make_shared<Echo>(22));

  EXPECT_EQ(table->OpenInterface(table, MakeModulePair(51, 5)), 0u);               // halves swapped
  const std::uint64_t first = table->OpenInterface(table, 0x0000003300000005ull);  // module id low
  const std::uint64_t second = table->OpenInterface(table, MakeModulePair(2, 21));
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_EQ(services.OpenRequests(), 3u);

  int in = 0, out = 0;
  EXPECT_EQ(table->CallInterface(table, first, 8209, &in, &out), 11);
  EXPECT_EQ(config->last, std::make_tuple(8209u, static_cast<void*>(&in), static_cast<void*>(&out)));
  EXPECT_EQ(table->CallInterface(table, second, 14099, &in, nullptr), 22);

  // A connection keeps its module even when the registration goes away.
  services.Register(5, 51, nullptr);
  EXPECT_EQ(table->OpenInterface(table, MakeModulePair(5, 51)), 0u);
  EXPECT_EQ(table->CallInterface(table, first, 1, nullptr, nullptr), 11);

  table->ReleaseInterface(table, first);
  table->ReleaseInterface(table, first);  // twice: harmless
  EXPECT_EQ(table->CallInterface(table, first, 1, nullptr, nullptr), kNoConnection);
  EXPECT_EQ(services.OpenConnections(), 1u);

  EXPECT_EQ(table->GetModulePath(table), nullptr);
  services.SetModulePath(u"C:\\zevo\\engine\\plugEngineTARSK.dll");
  ASSERT_NE(table->GetModulePath(table), nullptr);
  EXPECT_EQ(std::u16string(table->GetModulePath(table)), u"C:\\zevo\\engine\\plugEngineTARSK.dll");
  for (void* entry : table->reserved) EXPECT_EQ(entry, nullptr);
}

TEST(ScanManager, RecordsCommandsWithTheValuesOfTheirMessage) {
  ScanManager manager;
  ZEVO_DataHandleWrapper message;
  for (const std::int32_t command : {8282, 8283}) message.PutInt32(kRegistrationCommandIndex, command);
  message.PutInt32(kRegistrationModuleIndex, 10001);
  message.PutInt32(kRegistrationInterfaceIndex, 100011);
  EXPECT_EQ(manager.Call(14099, &message, nullptr), kCommonOk);
  manager.SetAnswer(kNoConnection);
  int output = 0;
  EXPECT_EQ(manager.Call(14100, &message, &output), kNoConnection);

  // A value of another type under the command index ends the list there.
  ZEVO_DataHandleWrapper odd(7);
  odd.PutInt32(kRegistrationCommandIndex, 1);
  odd.PutUInt32(kRegistrationCommandIndex, 2);
  odd.PutInt32(kRegistrationCommandIndex, 3);
  EXPECT_EQ(manager.Call(14099, &odd, nullptr), kNoConnection);
  EXPECT_EQ(manager.Call(14099, nullptr, nullptr), kUnsupported);
  EXPECT_EQ(manager.Call(14101, &message, nullptr), kNotHandled);

  const auto received = manager.Received();
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(received[0].function, 14099u);
  EXPECT_TRUE(received[0].liveMessage);
  EXPECT_FALSE(received[0].outputGiven);
  EXPECT_EQ(received[0].commands, (Values{8282, 8283}));
  EXPECT_EQ(received[0].moduleIds, (Values{10001}));
  EXPECT_EQ(received[0].interfaceIds, (Values{100011}));
  EXPECT_TRUE(received[1].outputGiven);
  EXPECT_EQ(received[1].answer, kNoConnection);
  EXPECT_EQ(received[2].nameId, 7u);
  EXPECT_EQ(received[2].commands, (Values{1}));
  EXPECT_FALSE(received[3].liveMessage);
}

TEST(RcmTable, FunctionOneFillsTheWholeRecord) {
  RcmTable table(4, 7, 1301);
  unsigned char out[sizeof(ZEVO_RcmRecord) + 8];
  std::memset(out, 0xcc, sizeof(out));
  EXPECT_EQ(table.Call(1, nullptr, out), kCommonOk);
  EXPECT_EQ(std::memcmp(out, &table.Record(), sizeof(ZEVO_RcmRecord)), 0);
  EXPECT_EQ(out[sizeof(ZEVO_RcmRecord)], 0xcc);  // nothing beyond the record

  // A configured failure writes nothing; other functions and a missing
  // output are refused.
  table.SetAnswer(kFail);
  std::memset(out, 0xcc, sizeof(out));
  EXPECT_EQ(table.Call(1, nullptr, out), kFail);
  EXPECT_EQ(out[0], 0xcc);
  EXPECT_EQ(table.Call(1, nullptr, nullptr), kUnsupported);
  EXPECT_EQ(table.Call(2, nullptr, out), kNotHandled);
}

TEST(PluginModule, ReportsEveryMissingExportAndUnloadsOnce) {
  std::string error;
  PluginModule module = PluginModule::Open(ExecutableFolder() / ZEVO_FAKE_MODULE_NAME, error);
  ASSERT_TRUE(module.Loaded()) << error;
  EXPECT_FALSE(module.Complete());
  EXPECT_EQ(module.MissingExports(),
            (std::vector<std::string>{"Plugin_Interface_Initialize", "Plugin_Interface_PostInitialize",
                                      "Plugin_Interface_PreUninitialize", "Plugin_Interface_GetModuleVersion",
                                      "Plugin_Interface_QueryInterface", "Plugin_Interface_Release",
                                      "Plugin_Interface_CallFunc", "Plugin_Interface_OnNotify"}));
  ASSERT_NE(module->Plugin_Interface_GetModuleID, nullptr);
  EXPECT_EQ(module->Plugin_Interface_GetModuleID(), 4242u);

  // Moving hands the library over; the emptied object unloads nothing.
  PluginModule moved = std::move(module);
  EXPECT_EQ(module->Plugin_Interface_GetModuleID, nullptr);
  EXPECT_EQ(moved->Plugin_Interface_GetModuleID(), 4242u);
  moved = PluginModule();
  EXPECT_FALSE(moved.Loaded());

  const PluginModule missing = PluginModule::Open(ExecutableFolder() / "no-such-module.bin", error);
  EXPECT_FALSE(missing.Loaded());
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(missing.MissingExports().empty());
}

// A reference is never cut: a shortened path would name another file.
TEST(ReferentialItem, TextsFillTheirFieldsOrTheReferenceIsRefused) {
  const std::u16string longest(260, u'a');
  const auto item = MakeReferentialItem({longest, u"*.exe", u"note"});
  ASSERT_TRUE(item.has_value());
  EXPECT_EQ(std::u16string(item->first), longest);
  EXPECT_EQ(item->first[260], u'\0');
  EXPECT_EQ(std::u16string(item->second), u"*.exe");
  EXPECT_EQ(std::u16string(item->third), u"note");

  EXPECT_FALSE(MakeReferentialItem({longest + u"b", u"", u""}).has_value());
  EXPECT_FALSE(MakeReferentialItem({u"/a", u"", std::u16string(261, u'n')}).has_value());
  EXPECT_FALSE(MakeReferentialItem({std::u16string(u"/a\0/b", 5), u"", u""}).has_value());
}

}  // namespace
}  // namespace zevo::hostsim
