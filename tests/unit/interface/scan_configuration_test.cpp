#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface_fixture.h"
#include "os/path.h"
#include "util/environment_var.h"

namespace zevo::ifacetest {
namespace {

constexpr std::int32_t kCommonOkCode = static_cast<std::int32_t>(0x20ff0000u);

std::string Store(bool first, bool second, const char* list, int setting) {
  return std::string(R"({"values": [)") +
         R"({"key": "0x12711000", "type": "bool", "value": )" + (first ? "true" : "false") + "}," +
         R"({"key": "0x10c10000", "type": "bool", "value": )" + (second ? "true" : "false") + "}," +
         R"({"key": "0x10c20001", "type": "wstring", "value": "D:\\bk\\"},)" +
         R"({"key": "0x10f20004", "type": "wstring", "value": ")" + list + "\"}," +
         R"({"key": "0x12770003", "type": "int32", "value": )" + std::to_string(setting) + "}]}";
}

// The company ids whitelisted for `session`, in order.
std::vector<std::u16string> Whitelisted(const testing::FakeEngine& engine, std::int32_t session) {
  std::vector<std::u16string> ids;
  for (const auto& entry : engine.Whitelist()) {
    EXPECT_EQ(entry.handle, session);
    ids.emplace_back(entry.record.text);
  }
  return ids;
}

TEST_F(EngineInterfaceTest, DefaultsWithoutRepository) {
  EngineObject object = NewObject();
  ASSERT_EQ(object->CallFunc(0, nullptr, nullptr), kCommonOkCode);
  EXPECT_TRUE(object->BackupDefault());
  EXPECT_EQ(object->ScannerSetting(), 4);
  // The default folder is glued to the install path when that expands.
  const std::u16string& installPath = util::EnvVarMap().at(u"%zevo_install_path%");
  const std::u16string tail = std::u16string(u"backup") + os::kPathSeparator;
  EXPECT_EQ(object->BackupFolder(),
            installPath.empty() ? u"%zevo_install_path%" + tail : installPath + tail);
  EXPECT_TRUE(engine_.Whitelist().empty());

  const iface::ScanSettings& settings = object->Settings();
  ASSERT_EQ(settings.size(), 3u);
  EXPECT_TRUE(*std::get<const bool*>(settings.at(0x10c10000u)));
  EXPECT_EQ(std::get<const std::u16string*>(settings.at(0x10c20001u)), &object->BackupFolder());
  EXPECT_EQ(*std::get<const std::int32_t*>(settings.at(0x12770003u)), 4);
  object->CallFunc(1, nullptr, nullptr);
}

TEST_F(EngineInterfaceTest, RepositoryValuesAndExclusionList) {
  UseRepository(Store(true, true, ";a;;b;", 11));
  EngineObject object = NewObject();
  ASSERT_EQ(object->CallFunc(0, nullptr, nullptr), kCommonOkCode);
  EXPECT_TRUE(object->BackupDefault());
  EXPECT_EQ(object->BackupFolder(), u"D:\\bk\\");
  EXPECT_EQ(object->ScannerSetting(), 11);
  EXPECT_EQ(Whitelisted(engine_, object->SessionHandle()), (std::vector<std::u16string>{u"7", u"9"}));
  object->CallFunc(1, nullptr, nullptr);

  // Either switch off turns the backup off; an empty list adds nothing.
  for (const auto& [first, second] : {std::pair{false, true}, std::pair{true, false}}) {
    UseRepository(Store(first, second, "", 0));
    EngineObject other = NewObject();
    ASSERT_EQ(other->CallFunc(0, nullptr, nullptr), kCommonOkCode);
    EXPECT_FALSE(other->BackupDefault());
    EXPECT_EQ(other->ScannerSetting(), 0);
    other->CallFunc(1, nullptr, nullptr);
  }
  EXPECT_EQ(engine_.Whitelist().size(), 2u);
}

TEST_F(EngineInterfaceTest, SetExclusiveSpywareSkipsEmptyPiecesAndUnknownNames) {
  EngineObject object = NewObject();
  ASSERT_EQ(object->CallFunc(0, nullptr, nullptr), kCommonOkCode);
  object->SetExclusiveSpyware(u"b;;nobody;a");
  EXPECT_EQ(Whitelisted(engine_, object->SessionHandle()), (std::vector<std::u16string>{u"9", u"7"}));
  object->SetExclusiveSpyware(u";;");
  EXPECT_EQ(engine_.Whitelist().size(), 2u);
  object->CallFunc(1, nullptr, nullptr);
}

}  // namespace
}  // namespace zevo::ifacetest
