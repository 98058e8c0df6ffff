// Exports of the three builds, properties, tables, last error, faults.
#include "engine_fixture.h"

namespace tarsk::test {
namespace {

std::vector<std::string> MissingExports(const char* folder) {
  const zevo::os::DynamicLibrary library = LoadEngine(folder);
  EXPECT_TRUE(library.IsLoaded()) << folder;
  std::vector<std::string> missing;
  for (const char* name : zevo::kTkFunctionNames) {
    if (library.Symbol(name) == nullptr) missing.emplace_back(name);
  }
  return missing;
}

TEST(RefEngineBuilds, ExportEveryNameOrLeaveOutTheChosenOnes) {
  EXPECT_TRUE(MissingExports(TARSK_TEST_ENGINE_VERSION).empty());
  EXPECT_EQ(MissingExports("missing-1"), std::vector<std::string>{"TKGetItemIndexByCompanyName"});
  EXPECT_EQ(MissingExports("missing-3"),
            (std::vector<std::string>{"TKScanEx", "TKSaveBlacklist", "TKGetItemIndexByCompanyName"}));
}

TEST_F(EngineTest, VersionsFitTheDriversBuffers) {
  char16_t text[zevo::kPropertyCapacity] = {};
  ASSERT_EQ(Tk().TKGetEngineProperty(zevo::kPropertyVersion, text, zevo::kPropertyCapacity), 0);
  EXPECT_EQ(std::u16string(text), u"" TARSK_TEST_ENGINE_VERSION);  // the engine folder's name
  ASSERT_EQ(Tk().TKGetPatternProperty(h_, zevo::kPropertyVersion, text, zevo::kPropertyCapacity), 0);
  EXPECT_EQ(std::u16string(text), u"2026.12.06.1");
  EXPECT_EQ(Tk().TKGetPatternProperty(h_, zevo::kPropertyVersion, text, 5), -11);
  EXPECT_EQ(Tk().TKGetEngineProperty(2, text, zevo::kPropertyCapacity), -3);
  EXPECT_EQ(Tk().TKScanFile(h_, u"x"), -3);  // an export the module never calls
}

std::vector<std::u16string> Rows(std::int32_t h, std::int32_t e) {
  std::vector<std::u16string> rows;
  char16_t row[zevo::kRowCapacity];
  for (std::int32_t s = Tk().TKGetFirstRow(h, e, row, zevo::kRowCapacity); s == 0;
       s = Tk().TKGetNextRow(h, e, row, zevo::kRowCapacity)) {
    rows.emplace_back(row);
  }
  return rows;
}

TEST_F(EngineTest, TablesEnumerateAndLookUpRows) {
  std::int32_t e = -1;
  ASSERT_EQ(Tk().TKOpenTableSeqEnum(h_, zevo::kTableCompany, &e), 0);
  const std::vector<std::u16string> companies = Rows(h_, e);
  ASSERT_EQ(companies.size(), 5u);
  EXPECT_EQ(companies[0], u"100\x7f" u"Acme Adware Ltd\x7f" u"acme-adware.example");
  EXPECT_EQ(Tk().TKCloseHandle(h_, e), 0);
  EXPECT_NE(Tk().TKCloseHandle(h_, e), 0);

  ASSERT_EQ(Tk().TKOpenTableSeqEnum(h_, zevo::kTableThreatTypes, &e), 0);
  EXPECT_EQ(Rows(h_, e)[3], u"4\x7f" u"Dialer\x7f" u"Dials premium-rate numbers\x7f" u"dialer\x7f" u"90");
  ASSERT_EQ(Tk().TKOpenTableSeqEnum(h_, zevo::kTableProductItems, &e), 0);
  EXPECT_EQ(Rows(h_, e).size(), 10u);

  char16_t row[zevo::kRowCapacity] = {};
  ASSERT_EQ(Tk().TKOpenTableLongEnum(h_, zevo::kTableProductItems, zevo::kFieldId, 1004, &e), 0);
  EXPECT_EQ(Tk().TKGetRowById(h_, e, row, zevo::kRowCapacity), 0);
  EXPECT_EQ(std::u16string(row), u"1004\x7f" u"500\x7f" u"Umbrella.Dialer\x7f" u"4");
  ASSERT_EQ(Tk().TKOpenTableLongEnum(h_, zevo::kTableCompany, zevo::kFieldId, 999, &e), 0);
  EXPECT_EQ(Tk().TKGetRowById(h_, e, row, zevo::kRowCapacity), zevo::kNoRow);

  EXPECT_EQ(Tk().TKOpenTableSeqEnum(h_, 4, &e), kInvalidArgument);
  EXPECT_LT(e, 0);
  std::int32_t code = 0;
  char16_t text[zevo::kLastErrorCapacity] = {};
  ASSERT_EQ(Tk().TKGetLastError(h_, &code, text, zevo::kLastErrorCapacity), 0);
  EXPECT_EQ(code, kInvalidArgument);
  EXPECT_EQ(std::u16string(text), u"no such table");

  // A second session shares the pattern of the first; an unknown one cannot.
  std::int32_t other = 0;
  ASSERT_EQ(Tk().TKInit(u"second", zevo::kTkInitVersion, &other), 0);
  EXPECT_EQ(Tk().TKReadSpywarePattern(other, 9999, 0, 0), -2);
  ASSERT_EQ(Tk().TKReadSpywarePattern(other, h_, 0, 0), 0);
  ASSERT_EQ(Tk().TKOpenTableSeqEnum(other, zevo::kTableCompany, &e), 0);
  EXPECT_EQ(Rows(other, e), companies);
  EXPECT_EQ(Tk().TKQuit(other), 0);
  EXPECT_EQ(Tk().TKQuit(other), -2);
}

TEST_F(EngineTest, FaultsFailChosenCallsWithChosenStatuses) {
  SetEnv("TARSK_FAULTS", "TKScan=-7;TKGetItemCount=-12@2;TKInit=1234");
  EXPECT_EQ(Tk().TKScan(h_, u""), -7);
  std::int32_t code = 0;
  char16_t text[zevo::kLastErrorCapacity] = {};
  ASSERT_EQ(Tk().TKGetLastError(h_, &code, text, zevo::kLastErrorCapacity), 0);
  EXPECT_EQ(code, -7);
  EXPECT_EQ(std::u16string(text), u"injected fault in TKScan");
  std::int32_t count = 0, other = 0;
  EXPECT_EQ(Tk().TKGetItemCount(h_, &count), 0);
  EXPECT_EQ(Tk().TKGetItemCount(h_, &count), -12);
  EXPECT_EQ(Tk().TKGetItemCount(h_, &count), 0);
  EXPECT_EQ(Tk().TKInit(u"x", zevo::kTkInitVersion, &other), 1234);
  SetEnv("TARSK_FAULTS", "");
  EXPECT_EQ(Tk().TKScan(h_, u""), 0);
}

}  // namespace
}  // namespace tarsk::test
