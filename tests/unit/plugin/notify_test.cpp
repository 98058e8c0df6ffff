#include <gtest/gtest.h>

#include <utility>
#include <variant>

#include "plugin/notify_messages.h"
#include "plugin_fixture.h"
#include "zevo/engine_api.h"

namespace zevo::plugintest {
namespace {

using Value = std::variant<std::int32_t, std::uint32_t, std::u16string>;
struct Field {
  std::uint32_t index;
  Value value;
};

// Every field at position 0 with its exact type and value.
void ExpectFields(const ZEVO_DataHandleWrapper& message, const std::vector<Field>& fields) {
  for (const Field& f : fields) {
    SCOPED_TRACE(f.index);
    if (const auto* i = std::get_if<std::int32_t>(&f.value)) {
      std::int32_t got = 0;
      EXPECT_GE(message.GetInt32At(f.index, 0, &got), 0);
      EXPECT_EQ(got, *i);
    } else if (const auto* u = std::get_if<std::uint32_t>(&f.value)) {
      std::uint32_t got = 0;
      EXPECT_GE(message.GetUInt32At(f.index, 0, &got), 0);
      EXPECT_EQ(got, *u);
    } else {
      std::u16string got;
      EXPECT_GE(message.GetWStringAt(f.index, 0, &got), 0);
      EXPECT_EQ(got, std::get<std::u16string>(f.value));
    }
  }
}

ZEVO_DataHandleWrapper Nested(const ZEVO_DataHandleWrapper& parent, std::uint32_t type, std::uint32_t position = 0) {
  ZEVO_DataHandleWrapper nested;
  EXPECT_GE(parent.ReadDataAt(type, position, nested), 0) << std::hex << type;
  return nested;
}

class NotifyTest : public PluginTest {
 protected:
  std::int32_t Notify(std::uint32_t number, ZEVO_DataHandleWrapper* input = nullptr) {
    return Plugin_Interface_OnNotify(number, input, &output_);
  }
  // An input holding one update request per (kind, component id).
  static ZEVO_DataHandleWrapper Requests(const std::vector<std::pair<std::int32_t, std::int32_t>>& requests) {
    ZEVO_DataHandleWrapper input;
    for (const auto& [kind, id] : requests) {
      ZEVO_DataHandleWrapper request(plugin::kUpdateRequestType);
      request.PutUInt32(plugin::kFieldEmbeddedHeader, 0);
      request.PutInt32(1, kind);
      request.PutInt32(2, id);
      input.PutData(request);
    }
    return input;
  }
  ZEVO_DataHandleWrapper output_;
};

TEST_F(NotifyTest, ComponentListAndModuleRecordLayouts) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  ASSERT_EQ(Notify(4108), Code(0x200c0000u));
  const ZEVO_DataHandleWrapper list = Nested(output_, 0x10017);
  ExpectFields(
      list,
      {{0x20001, 0u}, {1, 2u},  {31, 2}, {32, Code(0x40080000u)}, {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0u}, {38, 2},
       {45, u"."},    {46, 1u}, {61, 3}, {62, Code(0x40000010u)}, {63, 0}, {64, 0}, {65, 0}, {66, 0}, {67, 0u}, {68, 1},
       {75, u"."},    {76, 0u}});
  for (std::uint32_t absent : {39u, 41u, 42u, 44u, 69u, 74u, 91u}) {
    std::uint32_t count = 1;
    list.GetSizeOf(absent, &count);
    EXPECT_EQ(count, 0u) << absent;
  }

  ASSERT_EQ(Notify(4109), Code(0x200c0000u));
  ExpectFields(Nested(output_, 0x10018),
               {{0x20001, 0u}, {1, 10001u}, {2, 2u}, {3, 1u}, {4, 0u}, {5, 1248u}, {6, 2}, {7, 0}});
}

TEST_F(NotifyTest, VersionReportLayoutAndFailures) {
  // Without a started plug-in no engine interface is to be had: an empty report.
  EXPECT_EQ(Notify(4118), Code(0xe0ff0010u));
  ExpectFields(Nested(output_, 0x100be), {{0x20001, 0u}});
  std::uint32_t count = 1;
  Nested(output_, 0x100be).GetSizeOf(0x20a99, &count);
  EXPECT_EQ(count, 0u);  // no record

  ASSERT_EQ(Start(), Code(0x200c0000u));
  ASSERT_EQ(Notify(4118), Code(0x20ff0000u));  // the start's own code
  const ZEVO_DataHandleWrapper report = Nested(output_, 0x100be, 1);
  const std::u16string folder = EngineFile(u"");
  // The build tree names the engine folder after the engine's version.
  const std::size_t name = folder.rfind(os::kPathSeparator, folder.size() - 2) + 1;
  const std::u16string engineVersion = folder.substr(name, folder.size() - 1 - name);
  const std::vector<std::pair<std::int32_t, std::u16string>> expected = {
      {2, folder}, {2, u"tarsk64.dll"}, {3, u"tarskptn.da6"}};
  for (std::uint32_t i = 0; i < expected.size(); ++i) {
    std::uint32_t number = 99;
    EXPECT_GE(report.GetUInt32At(0x20a99, i, &number), 0);
    EXPECT_EQ(number, i);
    const bool engine = expected[i].first == 2;
    ExpectFields(Nested(report, 0x100bd, i), {{0x20001, 0u},
                                              {1, expected[i].first},
                                              {2, Code(engine ? 0x40080000u : 0x40000010u)},
                                              {3, -1},
                                              {4, engine ? 0x1701 : -1},
                                              {5, -1},
                                              {6, -1},
                                              {7, 10001u},
                                              {8, engine ? 2 : 1},
                                              {17, engine ? engineVersion : PatternVersion()},
                                              {18, expected[i].second}});
  }

  // One version query failing: only the other component's records.
  logtest::SetEnv("TARSK_FAULTS", "TKGetPatternProperty=-3");
  ASSERT_EQ(Notify(4118), Code(0x20ff0000u));
  Nested(output_, 0x100be, 2).GetSizeOf(0x100bd, &count);
  EXPECT_EQ(count, 2u);
  // A start that fails (on a driver kept alive by another object): an
  // empty report, the start's code, and the counts as they were.
  ICommonPluginInterface* held = Plugin_Interface_QueryInterface(100011);
  logtest::SetEnv("TARSK_FAULTS", "TKInit=-5");
  EXPECT_EQ(Notify(4118), Code(0xe030fffbu));
  count = 1;
  Nested(output_, 0x100be, 3).GetSizeOf(0x100bd, &count);
  EXPECT_EQ(count, 0u);  // no record
  EXPECT_EQ(Now().objectsOut, 1u);
  Plugin_Interface_Release(held);
  EXPECT_EQ(Now().objectsOut, 0u);
}

// Numbers nobody handles: Garbage (integration).
TEST_F(NotifyTest, EveryNumberAnswersItsCode) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {4104, 0x60ff0012u}, {4105, 0x60ff0012u}, {4117, 0x60ff0012u}, {4106, 0x200c0000u},
      {4107, 0x60ff0013u}, {4116, 0xe0ff0001u}, {4110, 0xe0ff0002u}};
  for (const auto& [number, expected] : cases) {
    EXPECT_EQ(Notify(number), Code(expected)) << number;
  }
  std::uint32_t length[2] = {0, 1};
  ZEVO_DataHandleWrapper().GetDataLen(&length[0]);
  output_.GetDataLen(&length[1]);
  EXPECT_EQ(length[1], length[0]);  // nothing was written
  for (std::uint32_t number : {4108u, 4109u, 4118u}) {
    EXPECT_EQ(Plugin_Interface_OnNotify(number, nullptr, nullptr), Code(0xe0ff0007u)) << number;
  }
}

TEST_F(NotifyTest, UpdateRequestsAreTakenInTurn) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  const std::vector<std::pair<std::int32_t, std::int32_t>> requests = {
      {2, Code(0x40080000u)}, {2, Code(0x40080001u)},  {3, Code(0x4000000fu)}, {0, 0}, {1, 0},
      {4, Code(0x40000010u)}, {-1, Code(0x40080000u)}, {3, Code(0x40000010u)}};
  ZEVO_DataHandleWrapper input = Requests(requests);
  ZEVO_DataHandleWrapper wrongType;
  ZEVO_DataHandleWrapper request(plugin::kUpdateRequestType);
  request.PutUInt32(1, 3);  // kind sent unsigned: not read
  request.PutInt32(2, Code(0x40000010u));
  wrongType.PutData(request);
  for (std::int32_t expected : {0x200c0000u, 0xe0ff0001u, 0xe0ff0001u, 0xe0ff0001u, 0xe0ff0001u, 0xe0ff0001u,
                                0xe0ff0001u, 0x200c0000u, 0xe0ff0001u /* none left */}) {
    EXPECT_EQ(Notify(4116, &input), expected);
  }
  logtest::LineCapture capture;
  logtest::Configure("Plugin TARSK=2");
  EXPECT_EQ(Notify(4116, &wrongType), Code(0xe0ff0001u));
  EXPECT_EQ(capture.Texts().at(1), u"Update not supported.");
  logtest::Configure(nullptr);

  // A library that fails to start or fails its check (a pattern the engine
  // refuses: ZevoHost.UpdatePattern).
  logtest::SetEnv("TARSK_FAULTS", "TKInit=-5");
  ZEVO_DataHandleWrapper two = Requests({{3, Code(0x40000010u)}, {3, Code(0x40000010u)}});
  EXPECT_EQ(Notify(4116, &two), Code(0xe030fffbu));
  logtest::SetEnv("TARSK_FAULTS", "");
#ifndef _WIN32  // wine has a trust check of its own
  util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckOn);
  EXPECT_EQ(Notify(4116, &two), Code(0xe00c0007u));
#endif
  EXPECT_FALSE(DriverAlive());
}

// The check's throw-away driver shares the engine with the serving one and
// must leave the serving driver's state alone.
TEST_F(NotifyTest, PatternCheckLeavesTheServingDriverAlone) {
  ASSERT_EQ(Start(), Code(0x200c0000u));
  ICommonPluginInterface* object = Plugin_Interface_QueryInterface(100011);
  ASSERT_NE(object, nullptr);
  ASSERT_GE(object->CallFunc(0, nullptr, nullptr), 0);
  const auto mainSession = [] {
    os::RecursiveLockGuard guard(plugin::g_lock);
    const std::int32_t* handle = plugin::g_pMainSessionHandle;
    return std::pair(handle, handle != nullptr ? *handle : -1);
  };
  const auto before = mainSession();
  ASSERT_NE(before.first, nullptr);

  ZEVO_DataHandleWrapper input = Requests({{3, Code(0x40000010u)}});
  EXPECT_EQ(Notify(4116, &input), Code(0x200c0000u));

  EXPECT_EQ(mainSession(), before);
  char16_t version[kPropertyCapacity + 1] = {};
  EXPECT_EQ(object->CallFunc(9, version, nullptr), Code(0x200c0000u));
  EXPECT_EQ(std::u16string(version), PatternVersion());
  EXPECT_GE(plugin::g_tables.Read([](const driver::EngineTables& t) noexcept { return t.companies.size(); }), 1u);
  EXPECT_EQ(Notify(4104), Code(0x60ff0012u));                           // spares the main session
  EXPECT_EQ(object->CallFunc(2, nullptr, nullptr), Code(0xe00c000au));  // stopped
  EXPECT_EQ(object->CallFunc(9, version, nullptr), Code(0x200c0000u));
  object->CallFunc(1, nullptr, nullptr);
  Plugin_Interface_Release(object);
}

}  // namespace
}  // namespace zevo::plugintest
