// The progress callback, the item records it builds and functions 2, 5 and 8,
// over a driver on the in-process fake engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../log/log_test_support.h"
#include "engine_object.h"
#include "zevo/result.h"

namespace zevo::iface {
namespace {

// Keeps a copy of every report, from any thread (the record lives only for the call).
class RecordingSink final : public IProgressSink {
 public:
  struct Report {
    std::uint32_t event;
    std::int32_t c, d;
    const void* data;
    std::uint64_t cookie;
    SPYWARE_ITEM record;  // events 2 and 1001
  };
  void* DeleteThis(std::uint32_t) noexcept override { return this; }
  std::int32_t OnProgress(std::uint32_t event, std::int32_t c, std::int32_t d, void* data,
                          std::uint64_t cookie) noexcept override {
    Report report{event, c, d, data, cookie, {}};
    if ((event == 2 || event == 1001) && data != nullptr) report.record = *static_cast<const SPYWARE_ITEM*>(data);
    std::lock_guard<std::mutex> lock(mutex);
    reports.push_back(report);
    return 0;
  }
  std::u16string Company(std::size_t i) const { return reports.at(i).record.companyName; }
  std::mutex mutex;
  std::vector<Report> reports;
};

// Every code unit of `text` from `from` on is zero.
template <std::size_t N>
bool ZeroFrom(const char16_t (&text)[N], std::size_t from) {
  return std::all_of(text + from, text + N, [](char16_t c) { return c == 0; });
}

class ProgressCallbackTest : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    auto tables = std::make_unique<driver::EngineTables>();
    tables->items.Assign(100, 7);
    tables->items.Seal();
    tables->threats.Assign(3, 80);
    tables->threats.Seal();
    tables->companies.AddRow(7, u"Seven Corp");
    tables->companies.Seal();
    Publish(std::move(tables));
  }

  static std::int32_t Report(const EngineObject& object, std::int32_t event, void* data, std::int32_t d = 0) {
    return ITarskEngineInterface::TARSKProcessCallback(object->SessionHandle(), event, 11, d, data);
  }
};

TEST_F(ProgressCallbackTest, ItemRecordFieldsTruncationAndLookups) {
  RecordingSink sink;
  EngineObject object = Open(0xabcdef0123456789ull, &sink);
  TKC_ITEM item;
  std::memset(&item, 0x5a, sizeof item);  // unterminated texts, junk everywhere
  char16_t* const in[] = {item.text1, item.text2, item.companyText, item.text5, item.text6};
  for (std::size_t i = 0; i < 5; ++i) std::fill_n(in[i], kItemTextChars, static_cast<char16_t>(u'a' + i));
  std::fill(std::begin(item.text3), std::end(item.text3), u'c');
  item.itemId = 100;
  item.presence = 2;
  item.threatTypeId = 3;
  ASSERT_EQ(Report(object, 2, &item), 0);

  ASSERT_EQ(sink.reports.size(), 1u);
  EXPECT_EQ(sink.reports[0].event, 2u);
  EXPECT_EQ(sink.reports[0].c, 11);
  EXPECT_EQ(sink.reports[0].cookie, 0xabcdef0123456789ull);
  const SPYWARE_ITEM& r = sink.reports[0].record;
  EXPECT_EQ(r.size, 3960u);
  EXPECT_EQ(r.itemId, 100);
  const char16_t* const out[] = {r.text1, r.text2, r.companyText, r.text5, r.text6};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(std::u16string(out[i]), std::u16string(260, static_cast<char16_t>(u'a' + i))) << i;
  }
  EXPECT_EQ(std::u16string(r.text3), std::u16string(388, u'c'));
  EXPECT_EQ(r.present, 1);
  EXPECT_EQ(r.reserved0[0] | r.reserved0[1] | r.reserved0[2] | r.reserved1[0] | r.reserved1[1], 0);
  for (std::uint32_t value : {r.kind, r.resultFlags, r.state, r.value13, r.value16}) EXPECT_EQ(value, 0x5a5a5a5au);
  EXPECT_EQ(r.code, 0x5a5a5a5a);
  EXPECT_EQ(r.threatTypeId, 3);
  EXPECT_EQ(r.threatLevel, 80);
  EXPECT_EQ(std::u16string(r.companyName), u"Seven Corp");
  EXPECT_TRUE(ZeroFrom(r.companyName, 10));
  EXPECT_EQ(r.resultCode, 0);

  // Unknown item and threat type: no company (none left from before), level 50.
  item.itemId = 101;
  item.threatTypeId = 4;
  Report(object, 2, &item);
  EXPECT_TRUE(ZeroFrom(sink.reports[1].record.companyName, 0));
  EXPECT_EQ(sink.reports[1].record.threatLevel, 50);
  // A custom-range item's own company text, unterminated: cut to 260.
  item.itemId = 0x6e000000;
  Report(object, 2, &item);
  EXPECT_EQ(std::u16string(sink.reports[2].record.companyName), std::u16string(260, u'c'));
}

TEST_F(ProgressCallbackTest, CustomRangeCompanyFirstTextWinsPerObject) {
  RecordingSink sink;
  EngineObject object = Open(1, &sink);
  TKC_ITEM item{};
  for (std::int32_t id : {0x6e000000, 0x6f000000}) {
    item.itemId = id;
    std::memcpy(item.companyText, u"First", 12);
    Report(object, 2, &item);
    std::memcpy(item.companyText, u"Other", 12);
    Report(object, 1001, &item);
  }
  item.itemId = 0x6f000001;  // just outside: the tables, which do not know it
  Report(object, 2, &item);
  ASSERT_EQ(sink.reports.size(), 5u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(sink.Company(i), u"First") << i;
  EXPECT_EQ(sink.Company(4), u"");

  // The exported lookups: an unowned session names nothing and rates 50.
  std::u16string name = u"kept";
  EXPECT_TRUE(ITarskEngineInterface::GetSpyCompanyName(object->SessionHandle(), item, name));
  EXPECT_EQ(name, u"");
  name = u"kept";
  EXPECT_FALSE(ITarskEngineInterface::GetSpyCompanyName(-7, item, name));
  EXPECT_EQ(name, u"kept");
  std::int32_t level = 0;
  item.threatTypeId = 3;
  ITarskEngineInterface::GetSpyThreatLevel(-7, item, level);
  EXPECT_EQ(level, 50);
  ITarskEngineInterface::GetSpyThreatLevel(object->SessionHandle(), item, level);
  EXPECT_EQ(level, 80);

  // A second object starts with an empty cache.
  RecordingSink other;
  EngineObject second = Open(2, &other);
  item.itemId = 0x6e000000;
  Report(second, 2, &item);
  EXPECT_EQ(other.Company(0), u"Other");
}

TEST_F(ProgressCallbackTest, CleanResultCodes) {
  RecordingSink sink;
  EngineObject object = Open(1, &sink);
  struct Case {
    std::uint32_t flags, kind, state;
    std::int32_t d;
    std::uint32_t code;
  };
  const Case cases[] = {
      {3, 0, 0, 0, 0x200c0001u},  {2, 10, 1, 1, 0x200c0001u}, {1, 0, 0, 1, 0x200c0000u},    {0, 10, 1, 0, 0x200c0000u},
      {0, 10, 2, 1, 0xe0ff0030u}, {0, 9, 1, 0, 0xe00c0003u},  {0x10, 0, 0, 2, 0xe00c0003u},
  };
  TKC_ITEM item{};
  for (const Case& c : cases) {
    item.resultFlags = c.flags;
    item.kind = c.kind;
    item.state = c.state;
    Report(object, 1001, &item, c.d);
    EXPECT_EQ(sink.reports.back().record.resultCode, Code(c.code)) << c.flags << " " << c.kind;
    EXPECT_EQ(sink.reports.back().d, c.d);
  }
  item.resultFlags = 3;
  Report(object, 2, &item);  // detections carry no result
  EXPECT_EQ(sink.reports.back().record.resultCode, 0);
}

TEST_F(ProgressCallbackTest, EventsPassedDroppedAndUnowned) {
  RecordingSink sink;
  EngineObject object = Open(9, &sink);
  int value = 0;
  for (std::int32_t event : {1, 3, 1000, 4, 0, 999, 1002, -1}) EXPECT_EQ(Report(object, event, &value), 0);
  std::vector<std::uint32_t> events;
  for (const auto& report : sink.reports) {
    events.push_back(report.event);
    EXPECT_TRUE(report.data == &value && report.cookie == 9u);
  }
  EXPECT_EQ(events, (std::vector<std::uint32_t>{1, 3, 1000}));
  // Item events without an item reach the host without a record.
  Report(object, 2, nullptr);
  Report(object, 1001, nullptr, 1);
  ASSERT_EQ(sink.reports.size(), 5u);
  EXPECT_TRUE(sink.reports[3].data == nullptr && sink.reports[4].data == nullptr);

  // No sink yet, a closed session: nothing reported.
  EngineObject quiet = Open(3, nullptr);
  EXPECT_EQ(Report(quiet, 1, &value), 0);
  EngineObject closed = Open(4, &sink);
  EXPECT_EQ(closed->CallFunc(1, nullptr, nullptr), Code(0x200c0000u));
  TKC_ITEM item{};
  EXPECT_EQ(Report(closed, 2, &item), 0);
  EXPECT_EQ(sink.reports.size(), 5u);
}

TEST_F(ProgressCallbackTest, ScanSinkAndStopByNameDispatch) {
  logtest::Configure("Plugin TARSK=2");
  logtest::LineCapture capture;
  RecordingSink sink;
  EngineObject object = Open(1, nullptr);
  const std::int32_t h = object->SessionHandle();

  // Function 5 keeps the sink even when the engine refuses the callback.
  engine_.SetStatus("TKSetCallbackFunc", -5);
  EXPECT_EQ(object->CallFunc(5, &sink, nullptr), Code(0xe030fffbu));
  EXPECT_EQ(object->ProgressSink(), &sink);
  engine_.SetStatus("TKSetCallbackFunc", 0);
  EXPECT_EQ(object->CallFunc(5, nullptr, nullptr), Code(0x200c0000u));
  EXPECT_EQ(object->ProgressSink(), nullptr);
  EXPECT_EQ(engine_.CallsOf("TKSetCallbackFunc").back().ints.at(0), h);

  // Function 2: no options clean both; given options are taken as they are.
  const std::u16string entry = u"==> CEngineTARSK::StartScan,tkc = 0x" + std::u16string(1, u'0' + h);
  object->CallFunc(2, nullptr, nullptr);
  ZEVO_ScanOptions none{0, 0, 0};
  EXPECT_EQ(object->CallFunc(2, &none, nullptr), Code(0x200c0000u));
  std::vector<std::u16string> entries;
  for (const auto& text : capture.Texts()) {
    if (text.starts_with(u"==> CEngineTARSK::StartScan")) entries.push_back(text);
  }
  EXPECT_EQ(entries, (std::vector<std::u16string>{entry + u", bDoSpywareClean = true, bDoCookieClean = true",
                                                  entry + u", bDoSpywareClean = false, bDoCookieClean = false"}));

  // Function 8 on one object stops another's session by its caller name.
  EngineObject stopper = Open(2, nullptr);
  const char* nullName = nullptr;
  const char* unknown = "nobody";
  const char* job = "job";
  EXPECT_EQ(stopper->CallFunc(8, &nullName, nullptr), Code(0xe00c0005u));
  EXPECT_EQ(stopper->CallFunc(8, &unknown, nullptr), Code(0xe018000au));
  EXPECT_EQ(engine_.CountCalls("TKStopScan"), 0u);
  EXPECT_EQ(stopper->CallFunc(8, &job, nullptr), Code(0x200c0000u));
  EXPECT_EQ(object->CallFunc(2, nullptr, nullptr), Code(0xe00c000au));
  EXPECT_EQ(object->CallFunc(5, &sink, nullptr), Code(0xe00c000au));
  EXPECT_EQ(stopper->CallFunc(2, &none, nullptr), Code(0x200c0000u));  // the caller goes on
  logtest::Configure(nullptr);
}

// One object driven from two threads (one scanning, one cleaning): every
// report of an id names the company the object saw first, and table names
// come out whole while both threads report.
TEST_F(ProgressCallbackTest, TwoThreadsOnOneObjectAgreeOnCompanies) {
  RecordingSink sink;
  EngineObject object = Open(1, &sink);
  const std::int32_t h = object->SessionHandle();
  auto run = [h](std::int32_t event, const char16_t* company) {
    TKC_ITEM item{};
    std::memcpy(item.companyText, company, 6);
    for (std::int32_t i = 0; i < 2000; ++i) {
      item.itemId = i % 5 == 0 ? 100 : 0x6e000000 + i % 50;
      ITarskEngineInterface::TARSKProcessCallback(h, event, 0, 0, &item);
    }
  };
  std::thread scanning(run, 2, u"abc");
  std::thread cleaning(run, 1001, u"xyz");
  scanning.join();
  cleaning.join();
  std::map<std::int32_t, std::set<std::u16string>> companies;
  for (const auto& report : sink.reports) companies[report.record.itemId].emplace(report.record.companyName);
  ASSERT_EQ(companies.size(), 41u);
  for (const auto& [id, names] : companies) EXPECT_EQ(names.size(), 1u) << id;
  EXPECT_EQ(companies[100], std::set<std::u16string>{u"Seven Corp"});
  EXPECT_EQ(object->CachedCompanyNames(), 40u);
}

std::atomic<int> g_destroyed{0};
void CountDestroyed() noexcept { ++g_destroyed; }

// A release never waits: from the object's own sink (its session still open)
// it takes effect when the report returns; during a call on another thread,
// when that call returns. No later report finds the object.
TEST_F(ProgressCallbackTest, ReleaseNeverWaitsAndTheLastReferenceDestroys) {
  struct ReleasingSink final : IProgressSink {
    void* DeleteThis(std::uint32_t) noexcept override { return this; }
    std::int32_t OnProgress(std::uint32_t, std::int32_t, std::int32_t, void*, std::uint64_t) noexcept override {
      ++calls;
      if (object != nullptr) std::exchange(object, nullptr)->DeleteThis(ZEVO_DELETE_FREE);
      return 0;
    }
    ITarskEngineInterface* object = nullptr;
    int calls = 0;
  } sink;
  g_destroyed = 0;
  auto* object = new ITarskEngineInterface(*driver_, services_.Organizer(), &CountDestroyed);
  ZEVO_OpenBlock block{nullptr, "job", 1};
  ASSERT_EQ(object->CallFunc(0, &block, nullptr), Code(0x20ff0000u));
  ASSERT_EQ(object->CallFunc(5, &sink, nullptr), Code(0x200c0000u));
  const std::int32_t h = object->SessionHandle();
  sink.object = object;
  TKC_ITEM item{};
  item.itemId = 100;
  EXPECT_EQ(ITarskEngineInterface::TARSKProcessCallback(h, 2, 0, 0, &item), 0);
  EXPECT_EQ(g_destroyed, 1);
  EXPECT_EQ(ITarskEngineInterface::TARSKProcessCallback(h, 2, 0, 0, &item), 0);
  EXPECT_EQ(sink.calls, 1);

  // Released while its scan runs on another thread: the scan ends normally.
  object = new ITarskEngineInterface(*driver_, services_.Organizer(), &CountDestroyed);
  ASSERT_EQ(object->CallFunc(0, &block, nullptr), Code(0x20ff0000u));
  engine_.SetScanBlocks(true);
  std::int32_t scanned = 0;
  std::thread host([&] { scanned = object->CallFunc(2, nullptr, nullptr); });
  ASSERT_TRUE(engine_.WaitForBlockedScan(object->SessionHandle()));
  object->DeleteThis(ZEVO_DELETE_FREE);
  EXPECT_EQ(g_destroyed, 1);  // the scan still holds it
  engine_.SetScanBlocks(false);
  host.join();
  EXPECT_EQ(scanned, Code(0x200c0000u));
  EXPECT_EQ(g_destroyed, 2);
}

}  // namespace
}  // namespace zevo::iface
