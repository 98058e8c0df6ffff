#include "util/sys_config_manager.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "os/path.h"
#include "os/whole_file.h"
#include "store_test_support.h"
#include "zevo/result.h"

namespace zevo::util {
namespace {

using storetest::kDeclaration;
using storetest::ReadConfig;
using storetest::WriteConfig;
namespace fs = std::filesystem;

constexpr char kSmallFile[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
    "<SysConfigManager><ZEVO_ALL><ZEVO_CFG_SP_MODULE_LOAD>1</"
    "ZEVO_CFG_SP_MODULE_LOAD><Empty/></ZEVO_ALL>"
    "<Net><ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD>s3cret</"
    "ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD></Net></SysConfigManager>";

// A store loaded from kSmallFile, with the lines of its log module captured.
class StoreTest : public ::testing::Test, public filestest::TempFolder {
 protected:
  void SetUp() override {
    logtest::Configure(nullptr);
    WriteConfig(*this, kSysConfigFileName, kSmallFile);
    ASSERT_TRUE(store_.Load());
  }
  void TearDown() override { logtest::Configure(nullptr); }

  std::u16string Get(std::u16string_view group, std::u16string_view name) {
    std::u16string value = u"<none>";
    store_.GetSysConfig(group, name, value);
    return value;
  }
  std::vector<SysConfigRecord> All() {
    std::vector<SysConfigRecord> all;
    store_.GetAllSysConfigs(all);
    return all;
  }
  std::u16string Join(std::u16string_view file) const { return text() + os::kPathSeparator + std::u16string(file); }

  SysConfigManager store_{text(), std::u16string(kSysConfigFileName)};
  logtest::LineCapture capture_;
};

TEST_F(StoreTest, GetAndItsLogLine) {
  EXPECT_EQ(Get(u"ZEVO_ALL", u"Empty"), u"");
  logtest::Configure("Core Config Repository=2");
  EXPECT_EQ(Get(u"ZEVO_ALL", u"Missing"), u"<none>");
  EXPECT_EQ(Get(u"Net", u"ZEVO_CFG_SP_MODULE_LOAD"), u"<none>");
  const std::vector<logtest::CapturedLine> lines = capture_.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].module + u"|" + lines[0].file,
            u"Core Config Repository|core/coreConfigRepository/SysConfigManager");
  EXPECT_EQ(lines[0].level, 3);

  EXPECT_TRUE(store_.Close());
  EXPECT_FALSE(store_.IsConfigReady());
  EXPECT_EQ(Get(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), u"<none>");
  EXPECT_EQ(store_.AddSysConfig(u"ZEVO_ALL", u"Other", u"1"), kFail);
}

TEST_F(StoreTest, SetChangesAddCreatesRemoveDeletes) {
  EXPECT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"Empty", u"filled"), kCommonOk);
  EXPECT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"Missing", u"x"), kFail);
  EXPECT_EQ(store_.SetSysConfig(u"NoGroup", u"Missing", u"x"), kFail);
  EXPECT_EQ(store_.AddSysConfig(u"ZEVO_ALL", u"Empty", u"other"), kFail);
  EXPECT_EQ(store_.AddSysConfig(u"ZEVO_ALL", u"Added", u"a&b<c>"), kCommonOk);
  EXPECT_EQ(store_.AddSysConfig(u"New", u"Grüße", u"привет 😀"), kCommonOk);
  EXPECT_EQ(store_.RemoveSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), kCommonOk);
  EXPECT_EQ(store_.RemoveSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), kFail);
  EXPECT_EQ(store_.RemoveSysConfig(u"NoGroup", u"Empty"), kFail);
  EXPECT_EQ(All(), (std::vector<SysConfigRecord>{{u"ZEVO_ALL", u"Empty", u"filled"},
                                                 {u"ZEVO_ALL", u"Added", u"a&b<c>"},
                                                 {u"Net", u"ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD", u"s3cret"},
                                                 {u"New", u"Grüße", u"привет 😀"}}));
}

// Which names are element names is xml_name's own test; here, that every
// operation asks it, for the group and for the value name.
TEST_F(StoreTest, RefusesNamesThatAreNotElementNames) {
  const std::u16string before = Join(u"x");
  for (const std::u16string name : {u"", u"*", u"ZEVO_ALL/ZEVO_CFG_SP_MODULE_LOAD", u"a[1]", u"1a"}) {
    for (const auto& [group, key] :
         {std::pair{name, std::u16string(u"ZEVO_CFG_SP_MODULE_LOAD")}, std::pair{std::u16string(u"ZEVO_ALL"), name}}) {
      std::u16string value = u"untouched";
      EXPECT_EQ(store_.GetSysConfig(group, key, value), kFail);
      EXPECT_EQ(value, u"untouched");
      EXPECT_EQ(store_.SetSysConfig(group, key, u"9"), kFail);
      EXPECT_EQ(store_.AddSysConfig(group, key, u"9"), kFail);
      EXPECT_EQ(store_.RemoveSysConfig(group, key), kFail);
    }
  }
  EXPECT_EQ(All().size(), 3u);
  EXPECT_EQ(Get(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), u"1");
}

// The layout itself is pinned by the fixture the other platforms read.
TEST_F(StoreTest, SaveReloadsAndKeepsOnlyTheRoot) {
  logtest::Configure("Core Config Repository=2");
  ASSERT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"0"), kCommonOk);
  ASSERT_TRUE(store_.saveFile(text(), u"saved.cfg", true));
  EXPECT_TRUE(store_.Reload(text(), u"saved.cfg"));
  EXPECT_EQ(Get(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), u"0");
  // The helper's entry line carries the write-through flag.
  const std::vector<logtest::CapturedLine> lines = capture_.Lines();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[3].text, u"==> SaveCfgHelper::Save,pwszFolderPath = " + Join(u"saved.cfg") + u". bWriteThrough = 1");
  EXPECT_EQ(lines[4].file, u"common/include/SaveCfgHelper");

  WriteConfig(*this, u"two.cfg", "<Other>x</Other><SysConfigManager><G><A>1</A></G></SysConfigManager>");
  ASSERT_TRUE(store_.Reload(text(), u"two.cfg"));
  ASSERT_TRUE(store_.saveFile(text(), u"two.cfg", false));
  EXPECT_EQ(
      ReadConfig(*this, u"two.cfg"),
      std::string(kDeclaration) + "<SysConfigManager>\n    <G>\n        <A>1</A>\n    </G>\n</SysConfigManager>\n");
}

TEST_F(StoreTest, AFailedSaveStepLeavesTheOldFileAndNothingBeside) {
#ifdef _WIN32
  constexpr std::int32_t kDiskFull = 112, kDenied = 5;  // ERROR_DISK_FULL, ERROR_ACCESS_DENIED
#else
  constexpr std::int32_t kDiskFull = ENOSPC, kDenied = EACCES;
#endif
  using Step = os::FileReplacement::Step;
  const std::u16string path = Join(kSysConfigFileName);
  const std::u16string inPlace =
      path + u" cannot be replaced in one step: its folder refuses a new file. Written in place.";
  const struct {
    Step step;
    std::int32_t error;
    std::u16string line;  // the first line of level 3 or above
  } cases[] = {{Step::kCreate, kDiskFull, u"CreateFile Fail."},
               {Step::kWrite, kDiskFull, u"WriteFile Fail."},
               {Step::kFlush, kDiskFull, u"FlushFileBuffers Fail."},
               {Step::kReplace, kDenied, u"MoveFileEx Fail."},
               {Step::kCreate, kDenied, inPlace}};
  const std::string old = Read(fs::path(kSysConfigFileName));
  ASSERT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"0"), kCommonOk);
  logtest::Configure("Core Config Repository=3");
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.step));
    const std::size_t first = capture_.Texts().size();
    os::FailReplacementStepForTesting(c.step, c.error);
    const bool saved = store_.saveFile(text(), kSysConfigFileName, true);
    EXPECT_EQ(saved, c.line == inPlace);
    const std::vector<std::u16string> texts = capture_.Texts();
    ASSERT_EQ(texts.size() - first, saved ? 1u : 3u);
    EXPECT_EQ(texts[first], c.line);
    std::ostringstream code;  // the failed step's own error, not one of the clean-up
    code << ". GetLastError(): 0x" << std::hex << c.error << ".";
    const std::string error = code.str();
    EXPECT_TRUE(saved || texts[first + 1].find(std::u16string(error.begin(), error.end())) != std::u16string::npos);
    EXPECT_TRUE(saved || texts[first + 2] == u"saveHelper.Save(" + path + u", 1) fail. Return false.");
    EXPECT_EQ(Read(fs::path(kSysConfigFileName)) == old, !saved);
    EXPECT_EQ(Count(), 1u);
  }
  store_.Close();
  EXPECT_FALSE(store_.saveFile(text(), u"y.cfg", false));
  EXPECT_EQ(capture_.Texts().back(), u"SysConfigManager::saveFile Fail. m_managedDoc is NULL, return false.");
  EXPECT_EQ(Count(), 1u);
}

TEST_F(StoreTest, GetAllLogsEveryValueButProxyPasswords) {
  logtest::Configure("Core Config Repository=1");
  EXPECT_EQ(store_.SetSysConfig(u"Net", u"ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD", u"n3w-pass"), kCommonOk);
  EXPECT_EQ(All()[2].value, u"n3w-pass");
  const std::vector<std::u16string> texts = capture_.Texts();
  EXPECT_EQ(texts[3], u"Found a config: Group = ZEVO_ALL, config name = ZEVO_CFG_SP_MODULE_LOAD, value = 1");
  EXPECT_EQ(texts.size(), 6u);  // nothing of the Net group's password
  for (const auto& line : texts) EXPECT_EQ(line.find(u"n3w-pass"), std::u16string::npos) << "logged";

  WriteConfig(*this, u"groupless.cfg", "<SysConfigManager>text</SysConfigManager>");
  ASSERT_TRUE(store_.Reload(text(), u"groupless.cfg"));
  std::vector<SysConfigRecord> all;
  EXPECT_EQ(store_.GetAllSysConfigs(all), kFail);
  EXPECT_TRUE(all.empty());
  EXPECT_EQ(capture_.Texts().back(), u"getXmlNodesByPath failed, xpath=[/SysConfigManager/*]");
}

// fixtures/system_config.cfg was written by SysConfigManager::saveFile on
// Linux from a store holding exactly these values. A store on any platform
// must read it, and must write the very same bytes back.
const std::vector<SysConfigRecord> kFixtureValues = {
    {u"ZEVO_ALL", u"ZEVO_CFG_SP_RESTART_ND_REVERT", u"0"},
    {u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"1"},
    {u"ZEVO_ALL", u"ZEVO_CFG_SP_MAIN_OBJECTIVE", u"1"},
    {u"Proxy", u"Address", u"proxy.example:8080"},
    {u"Proxy", u"Grüße", u"Größe ≤ 10 😀"},
};

TEST(SysConfigFixture, FileSavedOnOnePlatformLoadsOnTheOther) {
  SysConfigManager store(u"" ZEVO_STORE_FIXTURE_DIR, u"system_config.cfg");
  ASSERT_TRUE(store.Load());
  std::vector<SysConfigRecord> all;
  ASSERT_EQ(store.GetAllSysConfigs(all), kCommonOk);
  EXPECT_EQ(all, kFixtureValues);

  filestest::TempFolder folder;
  ASSERT_TRUE(store.saveFile(folder.text(), u"again.cfg", false));
  EXPECT_EQ(folder.Read("again.cfg"), storetest::ReadBytes(u"" ZEVO_STORE_FIXTURE_DIR u"/system_config.cfg"));
}

}  // namespace
}  // namespace zevo::util
