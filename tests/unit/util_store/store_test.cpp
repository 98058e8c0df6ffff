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
using storetest::TempFolder;
using storetest::WriteConfig;
namespace fs = std::filesystem;

constexpr char kSmallFile[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
    "<SysConfigManager><ZEVO_ALL><ZEVO_CFG_SP_MODULE_LOAD>1</"
    "ZEVO_CFG_SP_MODULE_LOAD><Empty/></ZEVO_ALL>"
    "<Net><ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD>s3cret</"
    "ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD></Net></SysConfigManager>";

std::u16string Join(const TempFolder& folder, std::u16string_view file) {
  return folder.text() + os::kPathSeparator + std::u16string(file);
}

// A store loaded from kSmallFile, logging off.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    logtest::Configure(nullptr);
    WriteConfig(folder_.File(kSysConfigFileName), kSmallFile);
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

  TempFolder folder_;
  SysConfigManager store_{folder_.text(), std::u16string(kSysConfigFileName)};
};

TEST_F(StoreTest, GetAndItsLogLines) {
  EXPECT_TRUE(store_.IsConfigReady());
  EXPECT_EQ(Get(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), u"1");
  EXPECT_EQ(Get(u"ZEVO_ALL", u"Empty"), u"");

  logtest::LineCapture capture;
  logtest::Configure("Core Config Repository=2");
  std::u16string value;
  EXPECT_EQ(store_.GetSysConfig(u"ZEVO_ALL", u"", value), kFail);
  EXPECT_EQ(store_.GetSysConfig(u"ZEVO_ALL", u"Missing", value), kFail);
  EXPECT_EQ(store_.GetSysConfig(u"Net", u"ZEVO_CFG_SP_MODULE_LOAD", value), kFail);
  EXPECT_EQ(capture.Texts(), (std::vector<std::u16string>{u"GetSysConfig failed, id=Missing, "
                                                          u"xpath=[/SysConfigManager/ZEVO_ALL/Missing]",
                                                          u"GetSysConfig failed, id=ZEVO_CFG_SP_MODULE_LOAD, "
                                                          u"xpath=[/SysConfigManager/Net/ZEVO_CFG_SP_MODULE_LOAD]"}));
  EXPECT_EQ(capture.Lines()[0].module, u"Core Config Repository");
  EXPECT_EQ(capture.Lines()[0].file, u"core/coreConfigRepository/SysConfigManager");
  EXPECT_EQ(capture.Lines()[0].level, 3);

  EXPECT_TRUE(store_.Close());
  EXPECT_FALSE(store_.IsConfigReady());
  EXPECT_EQ(store_.GetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", value), kFail);
}

TEST_F(StoreTest, SetAddRemove) {
  const std::vector<SysConfigRecord> before = All();
  ASSERT_EQ(before.size(), 3u);

  EXPECT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"0"), kCommonOk);
  EXPECT_EQ(Get(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), u"0");
  EXPECT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"Empty", u"filled"), kCommonOk);
  EXPECT_EQ(Get(u"ZEVO_ALL", u"Empty"), u"filled");
  // Set changes only what exists; Add only what does not.
  EXPECT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"Missing", u"x"), kFail);
  EXPECT_EQ(store_.SetSysConfig(u"NoGroup", u"Missing", u"x"), kFail);
  EXPECT_EQ(store_.AddSysConfig(u"ZEVO_ALL", u"Empty", u"other"), kFail);
  EXPECT_EQ(Get(u"ZEVO_ALL", u"Empty"), u"filled");
  EXPECT_EQ(All().size(), 3u);

  EXPECT_EQ(store_.AddSysConfig(u"ZEVO_ALL", u"Added", u"a&b<c>"), kCommonOk);
  EXPECT_EQ(store_.AddSysConfig(u"New", u"Grüße", u"привет 😀"), kCommonOk);
  EXPECT_EQ(Get(u"ZEVO_ALL", u"Added"), u"a&b<c>");
  EXPECT_EQ(Get(u"New", u"Grüße"), u"привет 😀");

  EXPECT_EQ(store_.RemoveSysConfig(u"ZEVO_ALL", u"Empty"), kCommonOk);
  EXPECT_EQ(store_.RemoveSysConfig(u"ZEVO_ALL", u"Empty"), kFail);
  EXPECT_EQ(store_.RemoveSysConfig(u"NoGroup", u"Empty"), kFail);
  EXPECT_EQ(All(), (std::vector<SysConfigRecord>{{u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"0"},
                                                 {u"ZEVO_ALL", u"Added", u"a&b<c>"},
                                                 {u"Net", u"ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD", u"s3cret"},
                                                 {u"New", u"Grüße", u"привет 😀"}}));

  // Without a document nothing can be added.
  store_.Close();
  EXPECT_EQ(store_.AddSysConfig(u"ZEVO_ALL", u"Other", u"1"), kFail);
}

TEST_F(StoreTest, RefusesNamesThatAreNotElementNames) {
  const std::u16string bad[] = {u"",
                                u"*",
                                u"a/b",
                                u"//x",
                                u"a|b",
                                u"a[1]",
                                u"a b",
                                u"'a'",
                                u"\"a\"",
                                u"a:b",
                                u"1a",
                                u"-a",
                                u"..",
                                u"a()",
                                u"a=b",
                                u"@a",
                                std::u16string(u"a\0b", 3),
                                u"\xD800",
                                u"ZEVO_ALL/ZEVO_CFG_SP_MODULE_LOAD",
                                u"*/*"};
  const std::string savedBefore = [&] {
    EXPECT_TRUE(store_.saveFile(folder_.text(), u"before.cfg", false));
    return ReadConfig(folder_.File(u"before.cfg"));
  }();
  for (const std::u16string& name : bad) {
    std::u16string value = u"untouched";
    for (const auto& [group, key] :
         {std::pair{name, std::u16string(u"ZEVO_CFG_SP_MODULE_LOAD")}, std::pair{std::u16string(u"ZEVO_ALL"), name}}) {
      EXPECT_EQ(store_.GetSysConfig(group, key, value), kFail);
      EXPECT_EQ(store_.SetSysConfig(group, key, u"9"), kFail);
      EXPECT_EQ(store_.AddSysConfig(group, key, u"9"), kFail);
      EXPECT_EQ(store_.RemoveSysConfig(group, key), kFail);
    }
    EXPECT_EQ(value, u"untouched");
  }
  ASSERT_TRUE(store_.saveFile(folder_.text(), u"after.cfg", false));
  EXPECT_EQ(ReadConfig(folder_.File(u"after.cfg")), savedBefore);
  // Names outside ASCII are names all the same.
  EXPECT_EQ(store_.AddSysConfig(u"Grüppe", u"名前", u"v"), kCommonOk);
  EXPECT_EQ(Get(u"Grüppe", u"名前"), u"v");
}

TEST_F(StoreTest, SaveWritesTheLayoutAndReloads) {
  logtest::LineCapture capture;
  logtest::Configure("Core Config Repository=2");
  ASSERT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"0"), kCommonOk);
  ASSERT_TRUE(store_.saveFile(folder_.text(), u"saved.cfg", true));
  EXPECT_EQ(ReadConfig(folder_.File(u"saved.cfg")), std::string(kDeclaration) +
                                                        "<SysConfigManager>\n"
                                                        "    <ZEVO_ALL>\n"
                                                        "        <ZEVO_CFG_SP_MODULE_LOAD>0</ZEVO_CFG_SP_MODULE_LOAD>\n"
                                                        "        <Empty />\n"
                                                        "    </ZEVO_ALL>\n"
                                                        "    <Net>\n"
                                                        "        <ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD>s3cret"
                                                        "</ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD>\n"
                                                        "    </Net>\n"
                                                        "</SysConfigManager>\n");

  const std::u16string path = Join(folder_, u"saved.cfg");
  EXPECT_TRUE(store_.Reload(folder_.text(), u"saved.cfg"));
  EXPECT_EQ(Get(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD"), u"0");
  // Entry and exit lines: the helper's, which carries the write-through flag.
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[3].text, u"==> SaveCfgHelper::Save,pwszFolderPath = " + path + u". bWriteThrough = 1");
  EXPECT_EQ(lines[9].text, u"<== SysConfigManager::Reload,bResult = 1");
  EXPECT_EQ(lines[4].file, u"common/include/SaveCfgHelper");
}

TEST_F(StoreTest, SaveKeepsTheRootWhenAnotherElementComesFirst) {
  WriteConfig(folder_.File(u"two.cfg"), "<Other>x</Other><SysConfigManager><G><A>1</A></G></SysConfigManager>");
  ASSERT_TRUE(store_.Reload(folder_.text(), u"two.cfg"));
  ASSERT_TRUE(store_.saveFile(folder_.text(), u"two.cfg", false));
  EXPECT_EQ(
      ReadConfig(folder_.File(u"two.cfg")),
      std::string(kDeclaration) + "<SysConfigManager>\n    <G>\n        <A>1</A>\n    </G>\n</SysConfigManager>\n");
}

TEST_F(StoreTest, SaveFailures) {
  logtest::LineCapture capture;
  logtest::Configure("Core Config Repository=5");
  const std::u16string folder = Join(folder_, u"no-such-folder");
  const std::u16string path = folder + os::kPathSeparator + u"x.cfg";
  EXPECT_FALSE(store_.saveFile(folder, u"x.cfg", false));
  const std::vector<std::u16string> texts = capture.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], u"CreateFile Fail.");
  const std::u16string head = u"SaveCfgHelper::Save. wstrFilePath: " + path + u". GetLastError(): 0x";
  const std::u16string tail = u". dwFileAttribute: 0x80. Return: false";
  EXPECT_EQ(texts[1].substr(0, head.size()), head);
  EXPECT_TRUE(texts[1].ends_with(tail)) << "no tail";
  EXPECT_GT(texts[1].size(), head.size() + tail.size());  // a non-zero code
  EXPECT_EQ(texts[2], u"saveHelper.Save(" + path + u", 0) fail. Return false.");

  store_.Close();
  EXPECT_FALSE(store_.saveFile(folder_.text(), u"y.cfg", false));
  EXPECT_EQ(capture.Texts().back(),
            u"SysConfigManager::saveFile Fail. m_managedDoc is NULL, return "
            u"false.");
  EXPECT_FALSE(std::filesystem::exists(folder_.File(u"y.cfg")));
}

TEST_F(StoreTest, AFailedSaveStepLeavesTheOldFileAndNothingBeside) {
#ifdef _WIN32
  constexpr std::int32_t kDiskFull = 112, kDenied = 5;  // ERROR_DISK_FULL, ERROR_ACCESS_DENIED
#else
  constexpr std::int32_t kDiskFull = ENOSPC, kDenied = EACCES;
#endif
  using Step = os::FileReplacement::Step;
  const std::u16string path = Join(folder_, kSysConfigFileName);
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
  const std::string old = storetest::ReadBytes(folder_.File(kSysConfigFileName));
  ASSERT_EQ(store_.SetSysConfig(u"ZEVO_ALL", u"ZEVO_CFG_SP_MODULE_LOAD", u"0"), kCommonOk);
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.step));
    logtest::LineCapture capture;
    logtest::Configure("Core Config Repository=3");
    os::FailReplacementStepForTesting(c.step, c.error);
    const bool saved = store_.saveFile(folder_.text(), kSysConfigFileName, true);
    EXPECT_EQ(saved, c.line == inPlace);
    const std::vector<std::u16string> texts = capture.Texts();
    ASSERT_EQ(texts.size(), saved ? 1u : 3u);
    EXPECT_EQ(texts[0], c.line);
    std::ostringstream code;  // the failed step's own error, not one of the clean-up
    code << ". GetLastError(): 0x" << std::hex << c.error << ".";
    const std::string error = code.str();
    EXPECT_TRUE(saved || texts[1].find(std::u16string(error.begin(), error.end())) != std::u16string::npos);
    EXPECT_EQ(storetest::ReadBytes(folder_.File(kSysConfigFileName)) == old, !saved);
    EXPECT_EQ(folder_.Count(), 1u);
  }
  ASSERT_TRUE(store_.saveFile(folder_.text(), kSysConfigFileName, true));  // nothing fails
  EXPECT_EQ(folder_.Count(), 1u);
}

TEST_F(StoreTest, GetAllLogsEveryValueButProxyPasswords) {
  logtest::LineCapture capture;
  logtest::Configure("Core Config Repository=1");
  EXPECT_EQ(store_.SetSysConfig(u"Net", u"ZEVO_CFG_ROLNE_DC_PROXY_AUTHPWD", u"n3w-pass"), kCommonOk);
  EXPECT_EQ(store_.SetSysConfig(u"Net", u"ZEVO_CFG_ROLNE_FR_PROXY_AUTHPWD", u"n3w-pass"), kFail);
  std::vector<SysConfigRecord> all;
  EXPECT_EQ(store_.GetAllSysConfigs(all), kCommonOk);
  EXPECT_EQ(all[2].value, u"n3w-pass");
  const std::vector<std::u16string> texts = capture.Texts();
  EXPECT_EQ(texts[1], u"<== SysConfigManager::SetSysConfig,bRet = 0");
  EXPECT_EQ(texts[4], u"Found a config: Group = ZEVO_ALL, config name = ZEVO_CFG_SP_MODULE_LOAD, value = 1");
  EXPECT_EQ(texts.size(), 7u);  // nothing of the Net group's password
  for (const auto& text : texts) EXPECT_EQ(text.find(u"n3w-pass"), std::u16string::npos) << "logged";

  WriteConfig(folder_.File(u"groupless.cfg"), "<SysConfigManager>text</SysConfigManager>");
  ASSERT_TRUE(store_.Reload(folder_.text(), u"groupless.cfg"));
  all.clear();
  EXPECT_EQ(store_.GetAllSysConfigs(all), kFail);
  EXPECT_TRUE(all.empty());
  EXPECT_EQ(capture.Texts().back(), u"getXmlNodesByPath failed, xpath=[/SysConfigManager/*]");
}

}  // namespace
}  // namespace zevo::util
