// Several scan jobs at once on the real module while another thread stops
// them by name at random moments; each object is released right after its
// session closes. Every report must reach the sink of its own job with that
// job's cookie, and none may arrive after the release. Run under
// ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "scan_fixture.h"

namespace zevo::it {
namespace {

constexpr int kJobs = 4;
constexpr auto kDuration = std::chrono::milliseconds(2500);
constexpr std::int32_t kEngineScanStopped = MapEngineStatus(-4);
// The driver closes the engine session before it drops the session's name,
// so a stop by name can meet a session that is closing.
constexpr std::int32_t kEngineNoSuchSession = MapEngineStatus(-2);

struct JobTally {
  std::atomic<int> runs{0};
  std::atomic<int> completed{0};  // scans that ran to the end
  std::atomic<int> faults{0};
};

// A stop may come before function 5 or 2 (the object refuses them) or while
// the engine scans (the engine's status for a stopped scan).
bool Stopped(std::int32_t result) {
  return Succeeded(result) || result == kStopRequested || result == kEngineScanStopped ||
         result == hostsim::ScanJobResults::kNotRun;
}

std::size_t DetectedSampleCount() {
  std::size_t count = 0;
  for (const tarsk::samples::Sample& s : tarsk::samples::AllSamples()) count += s.itemId != 0 ? 1 : 0;
  return count;
}

std::string JobName(int job) { return "stress-" + std::to_string(job); }

// One job's rounds: each with a fresh sink and a cookie of its own.
void RunJobs(const PluginExportTable& x, int job, std::chrono::steady_clock::time_point end, JobTally& tally,
             std::vector<std::unique_ptr<hostsim::ProgressRecorder>>& sinks) {
  for (std::uint64_t round = 0; std::chrono::steady_clock::now() < end; ++round) {
    const std::uint64_t cookie = (static_cast<std::uint64_t>(job) << 32) | round;
    auto sink = std::make_unique<hostsim::ProgressRecorder>();
    const hostsim::ScanJobResults r = hostsim::RunScanJob(x, {JobName(job), cookie, {0, 0, 0}, nullptr}, *sink);
    ++tally.runs;
    bool fault = r.open != kCommonOk || Failed(r.close) || !Stopped(r.setSink) || !Stopped(r.scan);
    for (const hostsim::ProgressReport& report : sink->Reports()) fault = fault || report.cookie != cookie;
    if (r.scan != hostsim::ScanJobResults::kNotRun && Succeeded(r.scan)) {
      ++tally.completed;
      fault = fault || sink->Items().size() != DetectedSampleCount();
    }
    if (fault) ++tally.faults;
    sinks.push_back(std::move(sink));  // kept to catch reports after release
  }
}

using ScanStress = ScanFixture;

TEST_F(ScanStress, ConcurrentJobsWithRandomStopsByName) {
  const auto end = std::chrono::steady_clock::now() + kDuration;
  JobTally tally;
  std::vector<std::vector<std::unique_ptr<hostsim::ProgressRecorder>>> sinks(kJobs);
  std::atomic<int> stops{0}, badStops{0};
  std::vector<std::thread> threads;
  for (int job = 0; job < kJobs; ++job) {
    threads.emplace_back([&, job] { RunJobs(m_.x(), job, end, tally, sinks[static_cast<std::size_t>(job)]); });
  }
  threads.emplace_back([&] {
    std::mt19937 random(7);
    while (std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
      const std::int32_t result = hostsim::StopScansByName(m_.x(), JobName(static_cast<int>(random() % kJobs)));
      ++stops;
      if (result != kOk && result != kNoSessionForName && result != kEngineNoSuchSession) ++badStops;
    }
  });
  for (std::thread& t : threads) t.join();

  EXPECT_EQ(tally.faults.load(), 0) << "of " << tally.runs.load() << " jobs";
  EXPECT_EQ(badStops.load(), 0) << "of " << stops.load() << " stops";
  EXPECT_GT(tally.completed.load(), 0) << "no scan ran to its end";
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
  const auto end = std::chrono::steady_clock::now() + kDuration;
  std::atomic<int> reports{0}, wrong{0}, steps{0}, badSteps{0};
  std::vector<std::thread> threads;
  for (int job = 0; job < 2; ++job) {
    threads.emplace_back([&, job] {
      while (std::chrono::steady_clock::now() < end) {
        hostsim::ProgressRecorder sink;
        const auto r = hostsim::RunScanJob(x, {JobName(job), 1, {0, 0, 0}, nullptr}, sink);
        if (r.FirstFailure() != 0) ++wrong;
        for (const SPYWARE_ITEM& item : sink.Items()) {
          ++reports;
          const Family& family = ExpectedFamilies().at(item.itemId);
          if (Text(item.companyName, std::size(item.companyName)) != family.company ||
              item.threatLevel != family.threatLevel) {
            ++wrong;
          }
        }
      }
    });
  }
  threads.emplace_back([&] {
    while (std::chrono::steady_clock::now() < end) {
      if (!step()) ++badSteps;
      ++steps;
    }
  });
  for (std::thread& t : threads) t.join();
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

}  // namespace
}  // namespace zevo::it
