// Scanning the sample tree: families, clean files, whitelist, scanner 12,
// events, stop from another thread, symlinks.
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "engine_fixture.h"
#include "samples.h"

namespace tarsk::test {
namespace {

using samples::AllSamples;

std::set<std::pair<std::int32_t, std::u16string>> Found(const std::vector<TKC_ITEM>& items) {
  std::set<std::pair<std::int32_t, std::u16string>> found;
  for (const TKC_ITEM& item : items) found.emplace(item.itemId, item.text2);
  return found;
}

// The module's scan suites (tests/integration/scan) check each family's
// record as the host sees it; here the engine's own fields and events.
TEST_F(EngineTest, ScanFindsEveryFamilyAndNothingInCleanFiles) {
  WriteSamples();
  ASSERT_EQ(ScanAll(), 0);
  const std::vector<TKC_ITEM> items = Items();
  const std::vector<samples::Sample> all = AllSamples();
  std::set<std::pair<std::int32_t, std::u16string>> expected;
  for (const samples::Sample& sample : all) {
    if (sample.itemId != 0) expected.emplace(sample.itemId, U16(sample.path.filename()));
  }
  EXPECT_EQ(Found(items), expected);
  EXPECT_EQ(items.size(), expected.size());
  for (const TKC_ITEM& item : items) {
    EXPECT_TRUE(std::u16string(item.text3).starts_with(U16(root_))) << item.itemId;  // the folder
    const bool custom = item.itemId == 0x6e000010;
    EXPECT_EQ(std::u16string(item.companyText), custom ? u"Custom Vendor GmbH" : u"");
    EXPECT_EQ(item.resultFlags, item.itemId == 1009 ? ZEVO_ITEM_FLAG_NOT_WITH_BACKUP : 0u);
  }
  // Events: 1 per root, 2 per item with its record, 3 at the end with the totals.
  const std::vector<Event> events = Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().event, zevo::kEventProgress1);
  EXPECT_EQ(events.front().d, 1);
  EXPECT_EQ(events.back().event, zevo::kEventProgress3);
  EXPECT_EQ(events.back().c, static_cast<std::int32_t>(all.size()));
  EXPECT_EQ(events.back().d, static_cast<std::int32_t>(items.size()));
  std::set<std::pair<std::int32_t, std::u16string>> reported;
  for (const Event& e : events) {
    if (e.event == zevo::kEventItemFound) reported.emplace(e.item.itemId, e.item.text2);
  }
  EXPECT_EQ(reported, expected);
}

TEST_F(EngineTest, ScanLooksOnlyInsideTheRootsAndSkipsSymlinks) {
  const std::filesystem::path outside = dir_ / "outside";
  samples::WriteSampleTree(outside);
  std::ofstream(root_ / "clean.txt") << "nothing\n";
  ASSERT_EQ(ScanAll(), 0);
  EXPECT_TRUE(Items().empty());
#if !defined(_WIN32)
  std::filesystem::create_directory_symlink(outside, root_ / "linked");
  std::filesystem::create_symlink(outside / "eicar.com", root_ / "eicar-link.com");
  ASSERT_EQ(ScanAll(), 0);
  EXPECT_TRUE(Items().empty());
#endif
}

TEST_F(EngineTest, WhitelistAndCookieScannerSwitch) {
  WriteSamples();
  ASSERT_EQ(Tk().TKEnableScanner(h_, zevo::kDefaultScanners, 1), 0);
  ASSERT_EQ(Tk().TKEnableScanner(h_, zevo::kSettingScanner, 0), 0);
  TKC_WHITELIST_ITEM entry{};
  entry.size = ZEVO_WHITELIST_ITEM_SIZE;
  entry.kind = ZEVO_WHITELIST_KIND_COMPANY_ID;
  entry.text[0] = u'4';  // company 400, of the test file
  entry.text[1] = entry.text[2] = u'0';
  ASSERT_EQ(Tk().TKAddWhitelistItem(h_, &entry), 0);
  ASSERT_EQ(Tk().TKScan(h_, u""), 0);
  const auto found = Found(Items());
  EXPECT_EQ(found.count({1001, u"eicar.com"}), 0u);
  EXPECT_EQ(found.count({1005, u"cookies.txt"}), 0u);
  EXPECT_EQ(found.count({1002, u"adpopper.exe"}), 1u);

  ASSERT_EQ(Tk().TKEnableScanner(h_, zevo::kSettingScanner, 1), 0);
  ASSERT_EQ(Tk().TKScan(h_, u""), 0);
  EXPECT_EQ(Found(Items()).count({1005, u"cookies.txt"}), 1u);
}

std::promise<void>* g_firstProgress = nullptr;
std::shared_future<void>* g_stopped = nullptr;

// Holds the scan at its first progress report until the stop has been sent.
std::int32_t PauseOnce(std::int32_t, std::int32_t event, std::int32_t, std::int32_t, void*) {
  if (event == zevo::kEventProgress3 && g_firstProgress != nullptr) {
    std::exchange(g_firstProgress, nullptr)->set_value();
    g_stopped->wait();
  }
  return 0;
}

TEST_F(EngineTest, StopFromAnotherThreadEndsTheScanWithinOneFile) {
  for (int i = 0; i < 200; ++i) std::ofstream(root_ / std::to_string(i)) << i;
  std::promise<void> firstProgress, stopped;
  std::shared_future<void> stoppedFuture = stopped.get_future().share();
  g_firstProgress = &firstProgress;
  g_stopped = &stoppedFuture;
  ASSERT_EQ(Tk().TKSetCallbackFunc(h_, &PauseOnce), 0);
  ASSERT_EQ(Tk().TKEnableScanner(h_, zevo::kDefaultScanners, 1), 0);
  std::int32_t status = 0;
  std::thread scanner([&] { status = Tk().TKScan(h_, u""); });
  firstProgress.get_future().wait();
  EXPECT_EQ(Tk().TKStopScan(h_), 0);
  std::int32_t state = -1;
  EXPECT_EQ(Tk().TKGetEngineStatus(h_, &state), 0);
  EXPECT_EQ(state, 1);
  stopped.set_value();
  scanner.join();
  EXPECT_EQ(status, kStopped);
  std::int32_t code = 0;
  char16_t text[255] = {};
  EXPECT_EQ(Tk().TKGetLastError(h_, &code, text, 255), 0);
  EXPECT_EQ(code, kStopped);
  EXPECT_EQ(std::u16string(text), u"scan stopped");
}

}  // namespace
}  // namespace tarsk::test
