// CEngineTARSK selection, cleaning and clean-result reports.
#include "clean_fixture.h"

namespace zevo::drivertest {
namespace {

using Ints = std::vector<std::int64_t>;
using CallList = std::vector<std::string>;
using Texts = std::vector<std::u16string>;

constexpr std::int64_t kAll = 0xFFFFFFFF;
const std::u16string kSep(1, os::kPathSeparator);

class CleanupTest : public CleanTest {
 protected:
  // Six items, one of each case of the selection rules.
  void SetSixItems() {
    engine_.SetItems({
        MakeItem(kCustomId, 12, u"", u"cookies.txt", u"A"),      // 0 cookie
        MakeItem(kCustomId, 10, u"dir", u"a.exe", u"A"),         // 1 kept by the host
        MakeItem(kCustomId, 13, u"dir" + kSep, u"b.exe", u"A"),  // 2 asked, not kept
        MakeItem(kCustomId, 14, u"", u"c.exe", u"B", 0x10),      // 3 bit 0x10
        MakeItem(kCustomId, 20, u"x", u"d.exe", u"B"),           // 4 never asked
        MakeItem(kCustomId, 17, u"y", u"e.exe", u"B", 0x10),     // 5 bit 0x10
    });
    file_check_->kept.insert(u"dir" + kSep + u"a.exe");
  }
  std::vector<std::uint32_t> Cleaned() const {
    const auto cleans = engine_.Cleans();
    return cleans.empty() ? std::vector<std::uint32_t>{} : cleans.back().selected;
  }
  std::vector<std::int32_t> ReportedFlags() {
    std::vector<std::int32_t> flags;
    for (const auto& report : TakeReports()) {
      EXPECT_EQ(report.event, kEventCleanResult);
      EXPECT_EQ(report.handle, session_);
      EXPECT_EQ(report.c, 0);
      flags.push_back(report.d);
    }
    return flags;
  }
};

TEST_F(CleanupTest, SelectionFollowsKindFlagsResultBitAndTheHostsCheck) {
  SetSixItems();
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, /*spyware=*/true, /*cookie=*/false, /*backup=*/false), kOk);
  EXPECT_EQ(Cleaned(), (std::vector<std::uint32_t>{2, 3, 4, 5}));
  // The host is asked about kinds 10, 13, 14, 17 and 18 only, with the
  // folder and name joined by exactly one separator.
  EXPECT_EQ(file_check_->asked,
            (Texts{u"dir" + kSep + u"a.exe", u"dir" + kSep + u"b.exe", u"c.exe", u"y" + kSep + u"e.exe"}));
  EXPECT_EQ(file_check_->malformed, 0);
  EXPECT_EQ(ReportedFlags(), (std::vector<std::int32_t>{0, 1, 0, 0, 0, 0}));
  EXPECT_TRUE(engine_.Items().empty());
  const auto selects = engine_.CallsOf("TKSelectItems");
  EXPECT_EQ(selects[0].ints, (Ints{session_, kAll, 1}));
  EXPECT_EQ(selects[1].ints, (Ints{session_, 0, 0}));
  EXPECT_EQ(engine_.CallsOf("TKEnableScanner")[1].ints, (Ints{session_, kAll, 1}));
  EXPECT_EQ(engine_.CallsOf("TKRemoveItems")[0].ints, (Ints{session_, kAll}));

  // Cookies only with their flag; the spyware flag off asks the host nothing.
  SetSixItems();
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, false, true, false), kOk);
  EXPECT_EQ(Cleaned(), (std::vector<std::uint32_t>{0}));
  EXPECT_EQ(file_check_->asked.size(), 4u);
  EXPECT_EQ(ReportedFlags(), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0}));

  // With a backup, bit 0x10 keeps an item out before the host is asked.
  SetSixItems();
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, true, true, true), kOk);
  EXPECT_EQ(Cleaned(), (std::vector<std::uint32_t>{0, 2, 4}));
  EXPECT_EQ(file_check_->asked.size(), 6u);
  EXPECT_EQ(ReportedFlags(), (std::vector<std::int32_t>{0, 1, 0, 0, 0, 0}));

  // Fewer flags than items: the rest are reported as not kept by the host.
  SetSixItems();
  driver_->SendCleanResult(session_, {true});
  EXPECT_EQ(ReportedFlags(), (std::vector<std::int32_t>{1, 0, 0, 0, 0, 0}));
  // The main session has no owner: no reports.
  EXPECT_EQ(driver_->SpywareDoCleanup(driver_->MainSession(), true, true, false), kOk);
  EXPECT_TRUE(TakeReports().empty());
}

// A failed clean still reports and removes every item before it fails the job.
TEST_F(CleanupTest, FailuresCleanNothingAgainstTheRules) {
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, true, true, true), kOk);
  EXPECT_EQ(engine_.CallNames(), CallList{"TKGetItemCount"});
  SetSixItems();
  engine_.SetStatusOnCall("TKGetItem", 3, -1);  // item 2 during the selection
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, true, true, false), kOk);
  EXPECT_EQ(Cleaned(), (std::vector<std::uint32_t>{0, 3, 4, 5}));
  EXPECT_TRUE(Logged(u"Failed: TKGetItem: 0xffffffff"));
  TakeReports();

  SetSixItems();
  engine_.SetLastError(4, u"busy");
  engine_.SetStatusOnCall("TKSelectItems", 2, -6);  // keeping an item out
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, true, false, false), MapEngineStatus(-6));
  EXPECT_EQ(engine_.Cleans().size(), 1u);
  EXPECT_TRUE(engine_.Items().empty());
  EXPECT_TRUE(Logged(u"Failed: TKSelectItems: 0xfffffffa"));

  SetSixItems();
  engine_.SetStatus("TKClean", -12);
  EXPECT_EQ(driver_->SpywareDoCleanup(session_, true, true, false), MapEngineStatus(-12));
  EXPECT_EQ(ReportedFlags(), (std::vector<std::int32_t>{0, 1, 0, 0, 0, 0}));
  EXPECT_TRUE(engine_.Items().empty());
  EXPECT_TRUE(Logged(u"Failed: TKClean: 0xfffffff4"));
}

TEST_F(CleanupTest, WithoutAnAnswerFromTheHostItemsAreCleaned) {
  const std::size_t connections = services_.OpenConnections();
  file_check_->status = kFail;  // keeps nothing out, even when it says so
  for (const bool registered : {true, false}) {
    if (!registered) services_.Register(ZEVO_FILE_CHECK_MODULE, ZEVO_FILE_CHECK_INTERFACE, nullptr);
    SetSixItems();
    EXPECT_EQ(driver_->SpywareDoCleanup(session_, true, false, false), kOk);
    EXPECT_EQ(Cleaned(), (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
  }
  EXPECT_EQ(file_check_->asked.size(), 4u);
  EXPECT_EQ(services_.OpenConnections(), connections);  // every connection given back
}

}  // namespace
}  // namespace zevo::drivertest
