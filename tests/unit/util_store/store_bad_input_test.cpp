#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store_test_support.h"
#include "util/sys_config_manager.h"
#include "util/xml_name.h"
#include "zevo/result.h"

namespace zevo::util {
namespace {

using filestest::TempFolder;

constexpr char kGood[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\r\n"
    "<SysConfigManager>\n"
    "    <ZEVO_ALL>\n"
    "        <ZEVO_CFG_SP_MODULE_LOAD>1</ZEVO_CFG_SP_MODULE_LOAD>\n"
    "    </ZEVO_ALL>\n"
    "</SysConfigManager>\n";

// The lines of a load that fails and of the queries after it, which must
// find nothing.
std::vector<std::u16string> LoadLog(const TempFolder& folder) {
  logtest::LineCapture capture;
  logtest::Configure("Core Config Repository=3");
  SysConfigManager store(folder.text(), std::u16string(kSysConfigFileName));
  EXPECT_FALSE(store.Load());
  EXPECT_FALSE(store.IsConfigReady());
  std::u16string value = u"untouched";
  EXPECT_EQ(store.GetSysConfig(kSysConfigGroupAll, kSysConfigModuleLoad, value), kFail);
  EXPECT_EQ(value, u"untouched");
  std::vector<SysConfigRecord> all;
  EXPECT_EQ(store.GetAllSysConfigs(all), kFail);
  EXPECT_TRUE(all.empty());
  std::vector<std::u16string> texts = capture.Texts();
  logtest::Configure(nullptr);
  return texts;
}

TEST(SysConfigManagerBadInput, FilesThatDoNotLoad) {
  const std::string good = storetest::Crypt(/*encrypt=*/true, kGood);
  const std::u16string kParseFailed = u"system_config.cfg parse failed.";
  const struct {
    const char* what;
    std::string bytes;
    // Lines before the query failures; one ending in '*' is a prefix (the
    // parser's stopping point in random bytes is of no interest).
    std::vector<std::u16string> lines;
  } cases[] = {
      // Cut after the value: what was parsed before the error is not served.
      {"truncated",
       good.substr(0, good.size() - 30),
       {kParseFailed, u"description: Start-end tags mismatch", u"detailed: row = 0x5, col = 0x6"}},
      {"not encrypted", kGood, {kParseFailed, u"description: *", u"detailed: row = 0x*"}},
      {"no root",
       storetest::Crypt(/*encrypt=*/true, "<Other><ZEVO_ALL/></Other>"),
       {u"system_config.cfg parse failed. There's no root element"}},
      {"empty", "", {kParseFailed, u"description: No document element found", u"detailed: row = 0x1, col = 0x1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    folder.Write(std::filesystem::path(kSysConfigFileName), c.bytes);
    std::vector<std::u16string> expected = c.lines;
    expected.push_back(
        u"GetSysConfig failed, id=ZEVO_CFG_SP_MODULE_LOAD, "
        u"xpath=[/SysConfigManager/ZEVO_ALL/ZEVO_CFG_SP_MODULE_LOAD]");
    expected.push_back(u"getXmlNodesByPath failed, xpath=[/SysConfigManager/*]");
    const std::vector<std::u16string> texts = LoadLog(folder);
    ASSERT_EQ(texts.size(), expected.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      const std::u16string& want = expected[i];
      EXPECT_TRUE(want.ends_with(u'*') ? texts[i].starts_with(want.substr(0, want.size() - 1)) : texts[i] == want) << i;
    }
    // Nothing written: the file as it was, nothing beside it.
    EXPECT_EQ(folder.Read(std::filesystem::path(kSysConfigFileName)), c.bytes);
    EXPECT_EQ(folder.Count(), 1u);
  }
}

TEST(SysConfigManagerBadInput, MissingFileKeepsTheReadyFlag) {
  TempFolder folder;
  EXPECT_EQ(LoadLog(folder).size(), 2u);  // only the two query failures

  storetest::WriteConfig(folder, kSysConfigFileName, kGood);
  SysConfigManager store(folder.text(), std::u16string(kSysConfigFileName));
  ASSERT_TRUE(store.Load());
  std::filesystem::remove(folder.File(kSysConfigFileName));
  EXPECT_TRUE(store.Load());  // as it was
  std::u16string value;
  EXPECT_EQ(store.GetSysConfig(kSysConfigGroupAll, kSysConfigModuleLoad, value), kCommonOk);
  EXPECT_EQ(value, u"1");
  EXPECT_FALSE(store.Reload(folder.text(), u"missing.cfg"));
}

// Element names: each end of the XML name ranges, and the characters just outside.
TEST(SysConfigManagerBadInput, ElementNamesFollowTheXmlRanges) {
  const char32_t start[] = {'A',    'Z',    '_',    'a',    'z',    0xC0,   0xD6,   0xD8,    0xF6,   0xF8,
                            0x2FF,  0x370,  0x37D,  0x37F,  0x1FFF, 0x200C, 0x200D, 0x2070,  0x218F, 0x2C00,
                            0x2FEF, 0x3001, 0xD7FF, 0xF900, 0xFDCF, 0xFDF0, 0xFFFD, 0x10000, 0xEFFFF};
  const char32_t rest[] = {'-', '.', '0', '9', 0xB7, 0x300, 0x36F, 0x203F, 0x2040};
  const char32_t never[] = {'@',    '[',    '^',    '`',    '{',    '/',    ':',    0xB6,   0xBF,   0xD7,
                            0xF7,   0x37E,  0x2000, 0x200B, 0x200E, 0x203E, 0x2041, 0x206F, 0x2190, 0x2BFF,
                            0x2FF0, 0x3000, 0xD800, 0xF8FF, 0xFDD0, 0xFDEF, 0xFFFE, 0xF0000};
  const auto name = [](std::u16string head, char32_t c) {
    if (c < 0x10000) return head + static_cast<char16_t>(c);
    return head + static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)) +
           static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  };
  for (char32_t c : start)
    EXPECT_TRUE(IsXmlElementName(name(u"", c)) && IsXmlElementName(name(u"a", c))) << static_cast<std::uint32_t>(c);
  for (char32_t c : rest)
    EXPECT_TRUE(!IsXmlElementName(name(u"", c)) && IsXmlElementName(name(u"a", c))) << static_cast<std::uint32_t>(c);
  for (char32_t c : never)
    EXPECT_TRUE(!IsXmlElementName(name(u"", c)) && !IsXmlElementName(name(u"a", c))) << static_cast<std::uint32_t>(c);
}

}  // namespace
}  // namespace zevo::util
