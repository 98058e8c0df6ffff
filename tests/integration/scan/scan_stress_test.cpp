// Host threads on the real module at once, run under ThreadSanitizer too:
// scan jobs while another thread stops them by name, refills the tables or
// checks patterns, and sessions with versions while the module stops and
// starts over and over. Every report must reach the sink of its own job with
// that job's cookie and whole, none after the release, and nothing fails
// that the module does not refuse by design.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "scan_fixture.h"
#include "zevo/identity.h"

namespace zevo::it {
namespace {

constexpr auto kDuration = std::chrono::milliseconds(2500);
constexpr std::int32_t kEngineScanStopped = MapEngineStatus(-4);
// The driver closes the engine session before it drops the session's name,
// so a stop by name can meet a session that is closing.
constexpr std::int32_t kEngineNoSuchSession = MapEngineStatus(-2);

// `workers` threads run `round(worker)` and one more runs `control()` over
// and over until the time is up.
void RunTogether(int workers, const std::function<void(int)>& round, const std::function<void()>& control) {
  const auto end = std::chrono::steady_clock::now() + kDuration;
  std::vector<std::thread> threads;
  for (int worker = 0; worker < workers; ++worker) {
    threads.emplace_back([&, worker] {
      while (std::chrono::steady_clock::now() < end) round(worker);
    });
  }
  threads.emplace_back([&] {
    while (std::chrono::steady_clock::now() < end) control();
  });
  for (std::thread& t : threads) t.join();
}

// A stop may come before function 5 or 2 (the object refuses them) or while
// the engine scans (the engine's status for a stopped scan).
bool Stopped(std::int32_t result) {
  return Succeeded(result) || result == kStopRequested || result == kEngineScanStopped ||
         result == hostsim::ScanJobResults::kNotRun;
}

std::string JobName(int job) { return "stress-" + std::to_string(job); }

using ScanStress = ScanFixture;

TEST_F(ScanStress, ConcurrentJobsWithRandomStopsByName) {
  constexpr int kJobs = 4;
  std::size_t detected = 0;
  for (const tarsk::samples::Sample& s : tarsk::samples::AllSamples()) detected += s.itemId != 0 ? 1 : 0;
  std::atomic<int> runs{0}, completed{0}, faults{0}, stops{0}, badStops{0};
  std::vector<std::vector<std::unique_ptr<hostsim::ProgressRecorder>>> sinks(kJobs);
  std::vector<std::uint64_t> rounds(kJobs, 0);
  std::mt19937 random(7);
  RunTogether(
      kJobs,
      [&](int job) {  // each round with a fresh sink and a cookie of its own
        const auto j = static_cast<std::size_t>(job);
        const std::uint64_t cookie = (static_cast<std::uint64_t>(job) << 32) | rounds[j]++;
        auto sink = std::make_unique<hostsim::ProgressRecorder>();
        const hostsim::ScanJobResults r = hostsim::RunScanJob(m_.x(), {JobName(job), cookie, {0, 0, 0}, nullptr}, *sink);
        ++runs;
        bool fault = r.open != kCommonOk || Failed(r.close) || !Stopped(r.setSink) || !Stopped(r.scan);
        for (const hostsim::ProgressReport& report : sink->Reports()) fault = fault || report.cookie != cookie;
        if (r.scan != hostsim::ScanJobResults::kNotRun && Succeeded(r.scan)) {
          ++completed;
          fault = fault || sink->Items().size() != detected;
        }
        if (fault) ++faults;
        sinks[j].push_back(std::move(sink));  // kept to catch reports after release
      },
      [&] {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        const std::int32_t result = hostsim::StopScansByName(m_.x(), JobName(static_cast<int>(random() % kJobs)));
        ++stops;
        if (result != kOk && result != kNoSessionForName && result != kEngineNoSuchSession) ++badStops;
      });
  EXPECT_EQ(faults.load(), 0) << "of " << runs.load() << " jobs";
  EXPECT_EQ(badStops.load(), 0) << "of " << stops.load() << " stops";
  EXPECT_GT(completed.load(), 0) << "no scan ran to its end";
  std::size_t late = 0;
  for (const auto& job : sinks) {
    for (const auto& sink : job) late += sink->LateReports();
  }
  EXPECT_EQ(late, 0u);
}

// Two threads scan while a third keeps touching the module's global state
// (`step` answers false for a failed step). Every report must still name its
// item's company and threat level, and every job must succeed.
void ScanWhile(const PluginExportTable& x, const std::function<bool()>& step) {
  std::atomic<int> reports{0}, wrong{0}, steps{0}, badSteps{0};
  RunTogether(
      2,
      [&](int job) {
        hostsim::ProgressRecorder sink;
        if (hostsim::RunScanJob(x, {JobName(job), 1, {0, 0, 0}, nullptr}, sink).FirstFailure() != 0) ++wrong;
        for (const SPYWARE_ITEM& item : sink.Items()) {
          ++reports;
          const Family& family = ExpectedFamilies().at(item.itemId);
          if (Field(item.companyName) != family.company ||
              item.threatLevel != family.threatLevel) {
            ++wrong;
          }
        }
      },
      [&] {
        if (!step()) ++badSteps;
        ++steps;
      });
  EXPECT_EQ(wrong.load(), 0) << "of " << reports.load() << " reports";
  EXPECT_EQ(badSteps.load(), 0) << "of " << steps.load() << " steps";
  EXPECT_GT(reports.load(), 0);
}

// The module is started again while objects are out: the tables are read
// anew and published whole.
TEST_F(ScanStress, ReportsStayWholeWhileTheTablesAreRefilled) {
  ScanWhile(m_.x(), [&] { return m_.PostInitialize() >= 0; });
}

// Pattern checks and version reports while scans run: the check's throw-away
// driver shares the engine and must neither stop nor spoil those scans.
TEST_F(ScanStress, ReportsStayWholeWhilePatternsAreChecked) {
  ScanWhile(m_.x(), [&] {
    ZEVO_DataHandleWrapper input, output;
    ZEVO_DataHandleWrapper request(0x100b5);
    request.PutUInt32(0x20001, 0);
    request.PutInt32(1, 3);
    request.PutInt32(2, 0x40000010);
    input.PutData(request);
    return m_.x().Plugin_Interface_OnNotify(0x1014, &input, nullptr) == kOk &&
           Succeeded(m_.x().Plugin_Interface_OnNotify(0x1016, nullptr, &output));
  });
}

// Eight workers query objects, open sessions, read both versions and release
// while the control thread stops and starts the module; objects refused while
// it is stopped are no failure.
TEST_F(ScanStress, ObjectsAndSessionsWhileTheModuleStopsAndStarts) {
  std::atomic<std::uint64_t> objects{0}, failures{0}, cycles{0};
  RunTogether(
      8,
      [&](int worker) {
        {
          const Object engine(m_.x(), kEngineInterfaceId);
          if (!engine) {
            std::this_thread::yield();
          } else {
            ++objects;
            const std::string name = "worker-" + std::to_string(worker);
            ZEVO_OpenBlock block{nullptr, name.c_str(), static_cast<std::uint64_t>(worker)};
            std::int32_t pattern = 0, version = 0;
            const bool ok = engine.Call(kFnOpenSession, &block) >= 0 &&
                            !ReadVersion(engine, kFnGetPatternVersion, pattern).empty() && pattern >= 0 &&
                            !ReadVersion(engine, kFnGetEngineVersion, version).empty() && version >= 0 &&
                            engine.Call(kFnCloseSession) >= 0;
            if (!ok) ++failures;
          }
        }
        const Object status(m_.x(), kEngineStatusInterfaceId);
        if (status && status.Call(static_cast<std::uint32_t>(worker)) != kOk) ++failures;
      },
      [&] {
        if (m_.PreUninitialize() < 0 || m_.PostInitialize() < 0) ++failures;
        ++cycles;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // a moment of a started module
      });
  EXPECT_EQ(failures.load(), 0u);
  EXPECT_GT(objects.load(), 0u);
  EXPECT_GT(cycles.load(), 0u);
  // Once stopped, nothing is handed out and no driver holds a host connection.
  EXPECT_GE(m_.PreUninitialize(), 0);
  EXPECT_EQ(m_.x().Plugin_Interface_QueryInterface(kEngineInterfaceId), nullptr);
  EXPECT_EQ(m_.x().Plugin_Interface_QueryInterface(kEngineStatusInterfaceId), nullptr);
  EXPECT_EQ(m_.host().services().OpenConnections(), 0u);
}

}  // namespace
}  // namespace zevo::it
