// CEngineTARSK scanning and stopping against the fake engine.
#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>

#include "driver_fixture.h"

namespace zevo::drivertest {
namespace {

using driver::CEngineTARSK;
using driver::ScanSettings;
using Ints = std::vector<std::int64_t>;

constexpr std::int64_t kAll = 0xFFFFFFFF;
constexpr std::int64_t kDefault = 0xFFFFFFFE;

class ScanTest : public DriverTest {
 protected:
  std::int32_t Open(Owner* owner, std::string_view name) {
    std::int32_t handle = 0;
    EXPECT_EQ(driver_->OpenSession(&handle, owner, name), kOk);
    return handle;
  }
  std::vector<Ints> CallArgs(std::string_view name) const {
    std::vector<Ints> args;
    for (const auto& call : engine_.CallsOf(name)) args.push_back(call.ints);
    return args;
  }

  std::unique_ptr<CEngineTARSK> driver_ = StartedDriver();
};

// 11 switches scanner 12 off, other numbers on; no number leaves it alone.
TEST_F(ScanTest, ScannerSettingDecidesScannerTwelve) {
  Owner owner;
  const std::int32_t h = Open(&owner, "job");
  const std::int32_t eleven = 11, zero = 0, twelve = 12;
  const std::int32_t* none = nullptr;
  const std::u16string text = u"11";
  const std::pair<ScanSettings, std::vector<Ints>> cases[] = {{{{driver::kKeyScannerSetting, &eleven}}, {{h, 12, 0}}},
                                                              {{{driver::kKeyScannerSetting, &zero}}, {{h, 12, 1}}},
                                                              {{{driver::kKeyScannerSetting, &twelve}}, {{h, 12, 1}}},
                                                              {{}, {}},
                                                              {{{driver::kKeyScannerSetting, none}}, {}},
                                                              {{{driver::kKeyScannerSetting, &text}}, {}}};
  for (const auto& [settings, twelveCalls] : cases) {
    engine_.ClearCalls();
    ASSERT_EQ(driver_->PrepareScan(h, settings), kOk);
    std::vector<Ints> expected = {{h, kAll, 0}, {h, kDefault, 1}};
    expected.insert(expected.end(), twelveCalls.begin(), twelveCalls.end());
    EXPECT_EQ(CallArgs("TKEnableScanner"), expected);
  }
  const auto option = engine_.CallsOf("TKSetOption");
  ASSERT_EQ(option.size(), 1u);
  EXPECT_EQ(option[0].ints, (Ints{h, 13}));
  EXPECT_EQ(option[0].texts, std::vector<std::u16string>{u"1"});
}

TEST_F(ScanTest, StartScanLogsTimesAndHandsOverToCleaning) {
  logtest::Configure("Plugin TARSK=1;=1");  // timing lines on
  Owner owner;
  const std::int32_t h = Open(&owner, "job");
  engine_.ClearCalls();
  EXPECT_EQ(driver_->StartScan(h, false, false, true, u"x", {}), kOk);
  EXPECT_EQ(engine_.CallNames().back(), "TKScan");  // nothing after the scan
  EXPECT_EQ(engine_.CallsOf("TKScan")[0].ints, Ints{h});
  EXPECT_EQ(engine_.CallsOf("TKScan")[0].texts, std::vector<std::u16string>{u""});
  EXPECT_TRUE(Lines().at(2).starts_with(u"scan finished, performance = 0"));
  // Either clean flag goes on to cleaning (here of no items).
  EXPECT_EQ(driver_->StartScan(h, true, false, false, u"", {}), kOk);
  EXPECT_EQ(driver_->StartScan(h, false, true, false, u"", {}), kOk);
  const auto lines = Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), u"==> CEngineTARSK::SpywareDoCleanup,tkc = 0x2, bBackup = false"),
            2);
}

TEST_F(ScanTest, EngineRefusalsAreLoggedAndMapped) {
  Owner owner;
  const std::int32_t h = Open(&owner, "job");
  engine_.SetLastError(7, u"no");

  // A failed scan skips cleaning; a failed preparation skips the scan.
  engine_.SetStatus("TKScan", -5);
  EXPECT_EQ(driver_->StartScan(h, true, true, true, u"", {}), MapEngineStatus(-5));
  engine_.SetStatus("TKEnableScanner", -10);
  EXPECT_EQ(driver_->StartScan(h, true, false, false, u"", {}), MapEngineStatus(-10));
  EXPECT_EQ(engine_.CountCalls("TKScan"), 1u);
  EXPECT_EQ(driver_->SetScannerState(h, false), MapEngineStatus(-10));
  EXPECT_EQ(driver_->SetScannerState(h, true), MapEngineStatus(-10));
  engine_.SetStatus("TKSetOption", 0x20);
  EXPECT_EQ(driver_->ApplyScanOption(h), static_cast<std::int32_t>(0xe0300020u));
  engine_.SetStatus("TKSetCallbackFunc", -1);
  EXPECT_EQ(driver_->SetProcessCallbackFunction(h, nullptr), static_cast<std::int32_t>(0xe030ffffu));
  engine_.SetStatus("TKStopScan", -3);
  EXPECT_EQ(driver_->StopScan(h), MapEngineStatus(-3));
  EXPECT_TRUE(owner.stopped);  // set before the engine is asked
  EXPECT_TRUE(Logged(u"Failed: TKEnableScanner: (0)0xfffffff6"));
  EXPECT_TRUE(Logged(u"Failed: TKEnableScanner: (0x1)0xfffffff6"));
  EXPECT_TRUE(Logged(u"Failed: SetProcessCallbackFunction: 0xffffffff"));
  for (const auto& call : engine_.CallsOf("TKGetLastError")) EXPECT_EQ(call.ints[0], h);
  EXPECT_EQ(Lines().back(), u"    TARSK error: 0x7: no");
}

TEST_F(ScanTest, StopByNameAndStopAll) {
  Owner higher, lower, other;
  engine_.SetNextSession(7);
  const std::int32_t h7 = Open(&higher, "job");
  engine_.SetNextSession(-3);
  const std::int32_t hm3 = Open(&lower, "job");
  const std::int32_t ho = Open(&other, "job two");
  engine_.ClearCalls();
  EXPECT_EQ(driver_->StopScanByName("job"), kOk);
  EXPECT_EQ(CallArgs("TKStopScan"), std::vector<Ints>{{hm3}});
  EXPECT_TRUE(lower.stopped);
  EXPECT_FALSE(higher.stopped);
  EXPECT_EQ(driver_->StopScanByName("jo"), kNoSessionForName);
  EXPECT_EQ(driver_->StopScanByName("JOB"), kNoSessionForName);
  EXPECT_EQ(driver_->CloseSession(hm3), kOk);
  EXPECT_EQ(driver_->StopScanByName("job"), kOk);
  EXPECT_EQ(CallArgs("TKStopScan").back(), Ints{h7});
  EXPECT_FALSE(other.stopped);

  engine_.SetStatus("TKStopScan", -1);
  engine_.ClearCalls();
  driver_->StopAllScans();
  EXPECT_EQ(CallArgs("TKStopScan"), (std::vector<Ints>{{ho}, {h7}}));
  EXPECT_TRUE(other.stopped);
}

// A running scan holds no session lock (sessions open meanwhile) and ends when
// stopped from another thread; a second session's scan waits for it to let go.
TEST_F(ScanTest, StopFromAnotherThreadEndsARunningScanAndTheNextOneWaits) {
  Owner owner, late;
  const std::int32_t h = Open(&owner, "job");
  engine_.SetScanBlocks(true);
  std::atomic<std::int32_t> result{kFail};
  std::thread first([&] { result = driver_->StartScan(h, false, false, false, u"", {}); });
  ASSERT_TRUE(engine_.WaitForBlockedScan(h));
  const std::int32_t hl = Open(&late, "late");
  std::thread second([&] { driver_->StartScan(hl, false, false, false, u"", {}); });
  EXPECT_EQ(driver_->StopScanByName("job"), kOk);
  first.join();
  EXPECT_EQ(result, kOk);
  EXPECT_TRUE(owner.stopped);
  EXPECT_FALSE(late.stopped);
  EXPECT_TRUE(engine_.WaitForBlockedScan(hl));
  EXPECT_EQ(driver_->StopScan(hl), kOk);
  second.join();
  std::vector<std::pair<std::string, std::int64_t>> order;
  for (const auto& call : engine_.Calls()) {
    if (call.name == "TKScan" || call.name == "TKStopScan") order.emplace_back(call.name, call.ints[0]);
  }
  EXPECT_EQ(order, (std::vector<std::pair<std::string, std::int64_t>>{
                       {"TKScan", h}, {"TKStopScan", h}, {"TKScan", hl}, {"TKStopScan", hl}}));
}

}  // namespace
}  // namespace zevo::drivertest
