// Scan jobs through the real module and engine, as the scan manager runs
// them: every sample family reported once with its company and threat level
// and the host's cookie. Stops by name across jobs: the soak (bench/soak).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <utility>

#include "../common/module_host.h"
#include "samples.h"
#include "sim/scan_job.h"
#include "zevo/identity.h"
#include "zevo/result.h"

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

struct Family {
  std::u16string company;
  std::int32_t threatLevel;
};

// From engine/tarskptn.da6: each item's company and its threat type's level.
const std::map<std::int32_t, Family> kFamilies = {
    {1001, {u"EICAR Test Organisation", 10}},  {1002, {u"Acme Adware Ltd", 40}},  {1003, {u"Initech Toolbars", 70}},
    {1004, {u"Umbrella Dialers", 90}},         {1005, {u"Globex Tracking", 20}},  {1006, {u"Acme Adware Ltd", 40}},
    {1007, {u"Initech Toolbars", 70}},         {1008, {u"Umbrella Dialers", 90}}, {1009, {u"Initech Toolbars", 70}},
    {0x6e000010, {u"Custom Vendor GmbH", 40}},
};

TEST(ScanJob, SampleTreeReportsEveryFamilyOnceWithCompanyLevelAndCookie) {
  const TempFolder tree("scan-tree");
  tarsk::samples::WriteSampleTree(tree.path());
  ASSERT_TRUE(hostsim::SetScanRoots({tree.path()}));
  ModuleHost m;
  ASSERT_TRUE(m.Ready());
  m.Initialize();
  ASSERT_GE(m.PostInitialize(), 0);
  hostsim::ProgressRecorder sink;
  const hostsim::ScanJobResults r = hostsim::RunScanJob(m.x(), {"it-scan", kCookie, {0, 0, 0}, nullptr}, sink);
  EXPECT_EQ(r.open, kCommonOk);
  EXPECT_GE(r.setSink, 0);
  EXPECT_GE(r.scan, 0);
  EXPECT_GE(r.close, 0);

  std::map<std::string, std::pair<std::int32_t, std::uint32_t>> found;
  for (const SPYWARE_ITEM& item : sink.Items()) {
    const std::string path = RelativePath(item, tree.path());
    EXPECT_TRUE(found.emplace(path, std::make_pair(item.itemId, item.kind)).second) << "reported twice: " << path;
    EXPECT_EQ(item.size, ZEVO_SPYWARE_ITEM_SIZE);
    EXPECT_EQ(item.present, 1);
    const auto family = kFamilies.find(item.itemId);
    ASSERT_NE(family, kFamilies.end()) << item.itemId;
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
  m.PreUninitialize();
  m.Uninitialize();
  hostsim::SetScanRoots({});
}

}  // namespace
}  // namespace zevo::it
