// Properties, tables, last error, faults, patterns and argument checks.
#include <fstream>
#include <iterator>

#include "engine_fixture.h"
#include "os/path.h"

namespace tarsk::test {
namespace {

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
  EXPECT_EQ(companies[0],
            u"100\x7f"
            u"Acme Adware Ltd\x7f"
            u"acme-adware.example");
  EXPECT_EQ(Tk().TKCloseHandle(h_, e), 0);
  EXPECT_NE(Tk().TKCloseHandle(h_, e), 0);

  char16_t row[zevo::kRowCapacity] = {};
  ASSERT_EQ(Tk().TKOpenTableLongEnum(h_, zevo::kTableProductItems, zevo::kFieldId, 1004, &e), 0);
  EXPECT_EQ(Tk().TKGetRowById(h_, e, row, zevo::kRowCapacity), 0);
  EXPECT_EQ(std::u16string(row),
            u"1004\x7f"
            u"500\x7f"
            u"Umbrella.Dialer\x7f"
            u"4");
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

// Loads a pattern text from a scratch engine folder into a new session.
std::int32_t LoadPatternText(const std::filesystem::path& folder, const std::string& text, std::u16string& error) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "tarskptn.da6", std::ios::binary) << text;
  std::u16string engineFolder = U16(folder);
  engineFolder.push_back(zevo::os::kPathSeparator);
  EXPECT_EQ(Tk().TKSetOption(0, zevo::kOptionEngineFolder, engineFolder.c_str()), 0);
  std::int32_t h = 0;
  EXPECT_EQ(Tk().TKInit(u"pattern", zevo::kTkInitVersion, &h), 0);
  const std::int32_t status = Tk().TKReadSpywarePattern(h, 0, 0, 0);
  std::int32_t code = 0;
  char16_t text16[zevo::kLastErrorCapacity] = {};
  Tk().TKGetLastError(h, &code, text16, zevo::kLastErrorCapacity);
  error = text16;
  Tk().TKQuit(h);
  Tk().TKSetOption(0, zevo::kOptionEngineFolder, EngineFolder(TARSK_TEST_ENGINE_VERSION).c_str());
  return status;
}

TEST_F(EngineTest, MalformedPatternsAreRefusedWithTheirLine) {
  const std::filesystem::path folder = dir_ / "engine";
  std::u16string error;
  EXPECT_EQ(LoadPatternText(folder, "version\t1\ncompany\t7\tA\n", error), 0);
  const std::pair<std::string, std::u16string> bad[] = {
      {"company\t1\tA\n", u"pattern: pattern has no version"},
      {"version\t1\tx\n", u"pattern: line 1: version needs one text"},
      {"version\t1\n\nfrobnicate\t1\n", u"pattern: line 3: unknown record 'frobnicate'"},
      {"version\t1\nsig\tsha256\t1\t1\tabcd\n", u"pattern: line 2: SHA-256 needs 64 hex digits"},
      {"version\t1\ncompany\t1\t" + std::string(2047, 'n') + "\n", u"pattern: line 2: row longer than 2047 characters"},
      {"version\t1\nsig\tbytes\t1\t1\ttext:A\tflags=loud\n", u"pattern: line 2: unknown flag 'loud'"},
  };
  for (const auto& [text, message] : bad) {
    EXPECT_EQ(LoadPatternText(folder, text, error), -6) << text;
    EXPECT_EQ(error, message);
  }
  // The shipped pattern carries its format and checksum; any damage is refused whole.
  std::ifstream shippedFile(std::string(TARSK_TEST_ENGINE_ROOT) + TARSK_TEST_ENGINE_VERSION "/tarskptn.da6",
                            std::ios::binary);
  const std::string shipped{std::istreambuf_iterator<char>(shippedFile), {}};
  ASSERT_EQ(LoadPatternText(folder, shipped, error), 0);
  std::string altered = shipped;
  altered[altered.find("Acme")] = 'a';
  std::string otherFormat = shipped;
  otherFormat.replace(otherFormat.find("format\t1"), 8, "format\t2");
  const std::pair<std::string, std::u16string> damaged[] = {
      {shipped.substr(0, shipped.size() / 2), u"pattern: pattern truncated: no checksum line"},
      {altered, u"pattern: pattern checksum mismatch"},
      {otherFormat, u"pattern: unsupported pattern format '2'"},
      {"\nformat\t", u"pattern: unsupported pattern format ''"},  // found by the fuzzer
  };
  for (const auto& [text, message] : damaged) {
    EXPECT_EQ(LoadPatternText(folder, text, error), -6) << message.size();
    EXPECT_EQ(error, message);
  }
  std::filesystem::remove(folder / "tarskptn.da6");
  EXPECT_EQ(LoadPatternText(dir_ / "empty", "", error), -6);
}

TEST_F(EngineTest, RcmTableAndArgumentChecks) {
  ZEVO_RcmRecord record{};
  record.major = 1;
  EXPECT_EQ(Tk().TKSetRCMTable(0, &record, ZEVO_RCM_RECORD_SIZE), 0);
  EXPECT_EQ(Tk().TKSetRCMTable(0, &record, 100), kInvalidArgument);
  EXPECT_EQ(Tk().TKSetRCMTable(h_, &record, ZEVO_RCM_RECORD_SIZE), -2);
  char16_t held[2] = {};
  EXPECT_EQ(Tk().TKGetOption(0, 900, held, 2), 0);
  EXPECT_EQ(std::u16string(held), u"1");
  EXPECT_EQ(Tk().TKSetRCMTable(0, nullptr, 0), 0);
  EXPECT_EQ(Tk().TKGetOption(0, 900, held, 2), 0);
  EXPECT_EQ(std::u16string(held), u"0");
  EXPECT_EQ(Tk().TKScan(h_, u"somewhere"), kInvalidArgument);
  // Backup needs an existing folder in option 14; with nothing selected it writes nothing.
  EXPECT_EQ(Tk().TKBackup(h_, u""), -7);
  EXPECT_EQ(Tk().TKSetOption(h_, zevo::kOptionBackupPath, U16(dir_).c_str()), 0);
  EXPECT_EQ(Tk().TKBackup(h_, u""), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);  // root/ only
}

}  // namespace
}  // namespace tarsk::test
