// Scan jobs through the real module and engine, as the scan manager runs
// them: every sample family reported once with its company and threat level
// and the host's cookie; a stop by name ends only the named session's scan.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <map>
#include <thread>
#include <utility>

#include "scan_fixture.h"
#include "zevo/identity.h"

namespace zevo::it {
namespace {

constexpr std::uint64_t kCookie = 0x0123456789abcdefULL;

// Relative path -> item id and kind, for every sample the engine detects.
std::map<std::string, std::pair<std::int32_t, std::uint32_t>> ExpectedSamples() {
  std::map<std::string, std::pair<std::int32_t, std::uint32_t>> expected;
  for (const tarsk::samples::Sample& s : tarsk::samples::AllSamples()) {
    if (s.itemId != 0) expected[Utf8(s.path)] = {s.itemId, s.kind};
  }
  return expected;
}

using ScanJob = ScanFixture;

TEST_F(ScanJob, SampleTreeReportsEveryFamilyOnceWithCompanyLevelAndCookie) {
  hostsim::ProgressRecorder sink;
  const hostsim::ScanJobResults r = hostsim::RunScanJob(m_.x(), {"it-scan", kCookie, {0, 0, 0}, nullptr}, sink);
  EXPECT_EQ(r.open, kCommonOk);
  EXPECT_GE(r.setSink, 0);
  EXPECT_GE(r.scan, 0);
  EXPECT_GE(r.close, 0);

  std::map<std::string, std::pair<std::int32_t, std::uint32_t>> found;
  for (const SPYWARE_ITEM& item : sink.Items()) {
    const std::string path = RelativePath(item, tree_.path());
    EXPECT_TRUE(found.emplace(path, std::make_pair(item.itemId, item.kind)).second) << "reported twice: " << path;
    EXPECT_EQ(item.size, ZEVO_SPYWARE_ITEM_SIZE);
    EXPECT_EQ(item.present, 1);
    const auto family = ExpectedFamilies().find(item.itemId);
    ASSERT_NE(family, ExpectedFamilies().end()) << item.itemId;
    EXPECT_EQ(Field(item.companyName), family->second.company) << path;
    EXPECT_EQ(item.threatLevel, family->second.threatLevel) << path;
    EXPECT_EQ(item.resultCode, 0);
    EXPECT_EQ(fs::path(Field(item.text3)), fs::path(Field(item.text6)).parent_path()) << "folder of " << path;
  }
  EXPECT_EQ(found, ExpectedSamples());

  const std::vector<hostsim::ProgressReport> reports = sink.Reports();
  ASSERT_FALSE(reports.empty());
  for (const hostsim::ProgressReport& report : reports) EXPECT_EQ(report.cookie, kCookie) << report.event;
  // The last report is the engine's final progress event: every file counted.
  EXPECT_EQ(reports.back().event, hostsim::kEventProgress);
  EXPECT_EQ(reports.back().c, static_cast<std::int32_t>(tarsk::samples::AllSamples().size()));
  EXPECT_EQ(reports.back().d, static_cast<std::int32_t>(ExpectedSamples().size()));
  EXPECT_EQ(sink.LateReports(), 0u);
}

// Job A is held inside its first report (its scan runs) while job B's
// session is open; function 8 from a third object names A.
TEST_F(ScanJob, StopByNameFromAnotherObjectEndsOnlyTheNamedScan) {
  std::promise<void> aStarted, aMayGoOn;
  const std::shared_future<void> goOn = aMayGoOn.get_future().share();
  bool held = false;
  hostsim::ProgressRecorder aSink([&](const hostsim::ProgressReport& report) {
    if (report.event != hostsim::kEventRootStarted || std::exchange(held, true)) return;
    aStarted.set_value();
    goOn.wait();
  });
  hostsim::ScanJobResults a;
  std::thread jobA([&] { a = hostsim::RunScanJob(m_.x(), {"job-a", 1, {0, 0, 0}, nullptr}, aSink); });

  const Object b(m_.x(), kEngineInterfaceId);
  ZEVO_OpenBlock open{nullptr, "job-b", 2};
  hostsim::ProgressRecorder bSink;
  EXPECT_EQ(b.Call(kFnOpenSession, &open), kCommonOk);
  EXPECT_GE(b.Call(kFnSetProgressSink, static_cast<IProgressSink*>(&bSink)), 0);
  aStarted.get_future().wait();
  EXPECT_EQ(hostsim::StopScansByName(m_.x(), "job-a"), kOk);
  EXPECT_EQ(hostsim::StopScansByName(m_.x(), "job-c"), kNoSessionForName);
  aMayGoOn.set_value();
  jobA.join();

  EXPECT_LT(a.scan, 0) << "a stopped scan does not succeed";
  EXPECT_TRUE(aSink.Items().empty()) << "stopped before its first file";
  EXPECT_GE(a.close, 0);

  ZEVO_ScanOptions options{0, 0, 0};
  EXPECT_GE(b.Call(kFnStartScan, &options), 0);
  EXPECT_EQ(bSink.Items().size(), ExpectedSamples().size());
  for (const hostsim::ProgressReport& report : bSink.Reports()) EXPECT_EQ(report.cookie, 2u);
  EXPECT_GE(b.Call(kFnCloseSession), 0);
}

}  // namespace
}  // namespace zevo::it
