// The engine interface over a driver on the in-process fake engine.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "driver/engine_tarsk.h"
#include "engine_object.h"
#include "../log/log_test_support.h"
#include "os/path.h"
#include "sim/config_repository.h"
#include "util/environment_var.h"
#include "zevo/result.h"

namespace zevo::iface {
namespace {

class EngineInterfaceTest : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    auto tables = std::make_unique<driver::EngineTables>();
    tables->companies.AddRow(7, u"a");
    tables->companies.AddRow(9, u"b");
    tables->companies.Seal();
    Publish(std::move(tables));
  }

  // Serves these settings from the configuration repository.
  void UseRepository(bool first, bool second, const char* list) {
    const auto file = std::filesystem::temp_directory_path() / "zevo-interface-test-store.json";
    std::ofstream(file) << R"({"values": [{"key": "0x12711000", "type": "bool", "value": )"
                        << (first ? "true" : "false") << R"(}, {"key": "0x10c10000", "type": "bool", "value": )"
                        << (second ? "true" : "false")
                        << R"(}, {"key": "0x10c20001", "type": "wstring", "value": "D:\\bk\\"},)"
                        << R"( {"key": "0x10f20004", "type": "wstring", "value": ")" << list << "\"},"
                        << R"( {"key": "0x12770003", "type": "int32", "value": 11}]})";
    auto repository = std::make_shared<hostsim::ConfigRepository>(file);
    std::filesystem::remove(file);
    ASSERT_TRUE(repository->Loaded()) << repository->LoadError();
    services_.Register(ZEVO_CONFIG_REPOSITORY_MODULE, ZEVO_CONFIG_REPOSITORY_INTERFACE, repository);
  }

  std::vector<std::u16string> Whitelisted() const {
    std::vector<std::u16string> ids;
    for (const auto& entry : engine_.Whitelist()) ids.emplace_back(entry.record.text);
    return ids;
  }
};

TEST_F(EngineInterfaceTest, OpenCopiesTheContextBoundedAndCloseResets) {
  EngineObject object = NewObject();
  ZEVO_Context context;
  std::memset(&context, 'x', sizeof context);  // the id without terminator
  ZEVO_OpenBlock block{&context, "job-1", 0x1122334455667788ull};
  EXPECT_EQ(object->CallFunc(0, &block, nullptr), Code(0x20ff0000u));
  const std::int32_t session = object->SessionHandle();
  EXPECT_TRUE(engine_.IsOpen(session));
  EXPECT_EQ(engine_.PatternSource(session), driver_->MainSession());
  EXPECT_EQ(object->HostCookie(), 0x1122334455667788ull);
  EXPECT_EQ(std::string(object->Context().contextId), std::string(36, 'x'));
  EXPECT_EQ(object->Context().alignment[0], 0);  // not copied
  EXPECT_EQ(std::memcmp(&object->Context().block, &context.block, sizeof context.block), 0);

  EXPECT_EQ(object->CallFunc(1, nullptr, nullptr), Code(0x200c0000u));
  EXPECT_FALSE(engine_.IsOpen(session));
  EXPECT_EQ(object->SessionHandle(), session);
  EXPECT_EQ(object->HostCookie(), 0u);
  EXPECT_FALSE(object->BackupDefault());
  EXPECT_TRUE(object->BackupFolder().empty());
  EXPECT_EQ(object->Context().block.tail[0], 0);
}

// Version texts: Lifecycle (integration); null arguments and unknown
// functions: Garbage (integration).
TEST_F(EngineInterfaceTest, StopFlagRefusesTheJobFunctions) {
  EngineObject object = Open();
  static_cast<driver::ISessionOwner&>(*object).SetStopFlag(true);
  for (std::uint32_t function : {0u, 2u, 3u, 4u, 5u, 7u}) {
    EXPECT_EQ(object->CallFunc(function, nullptr, nullptr), Code(0xe00c000au)) << function;
  }
  for (std::uint32_t function : {6u, 8u, 8282u, 8283u}) EXPECT_FALSE(object->CheckStopFlagByActionId(function));
  EXPECT_EQ(object->CallFunc(1, nullptr, nullptr), Code(0x200c0000u));
}

// Referential items and restores end to end: ZevoHost.Clean.
TEST_F(EngineInterfaceTest, ReferentialScanAndCleanBackupSwitch) {
  logtest::Configure("Plugin TARSK=2");
  logtest::LineCapture capture;
  UseRepository(false, true, "");  // backups off unless a call asks for one
  EngineObject object = Open();
  const std::u16string tkc = u"tkc = 0x" + std::u16string(1, u'0' + object->SessionHandle());

  // One item to clean after the referential scan, with the configured
  // backup (none) since the byte is zero; then no items: each call stops
  // after its entry line.
  engine_.SetItems({TKC_ITEM{}});
  ZEVO_ScanOptions cookiesOnly{0, 1, 0};
  object->CallFunc(4, &cookiesOnly, nullptr);
  std::uint8_t keepDefault = 0;
  std::uint8_t backUp = 1;
  object->CallFunc(6, &keepDefault, nullptr);
  object->CallFunc(6, nullptr, nullptr);
  object->CallFunc(6, &backUp, nullptr);
  std::vector<std::u16string> entries;
  for (const auto& text : capture.Texts()) {
    for (const char16_t* name : {u"StartReferentialScan,", u"SpywareDoCleanup,", u"SpywareBackup,"}) {
      if (text.starts_with(u"==> CEngineTARSK::" + std::u16string(name))) entries.push_back(text);
    }
  }
  logtest::Configure(nullptr);
  const std::u16string cleanup = u"==> CEngineTARSK::SpywareDoCleanup," + tkc + u", bBackup = ";
  EXPECT_EQ(entries,
            (std::vector<std::u16string>{
                u"==> CEngineTARSK::StartReferentialScan," + tkc + u", bDoSpywareClean = false, bDoCookieClean = true",
                cleanup + u"false", cleanup + u"false", cleanup + u"false",
                u"==> CEngineTARSK::SpywareBackup," + tkc + u", wstrBackupPath = D:\\bk\\", cleanup + u"true"}));
}

TEST_F(EngineInterfaceTest, DefaultsWithoutRepository) {
  EngineObject object = Open();
  EXPECT_TRUE(object->BackupDefault());
  EXPECT_EQ(object->ScannerSetting(), 4);
  // The default text is glued to the install path when that expands.
  const std::u16string& installPath = util::EnvVarMap().at(u"%zevo_install_path%");
  const std::u16string tail = std::u16string(u"backup") + os::kPathSeparator;
  EXPECT_EQ(object->BackupFolder(), (installPath.empty() ? u"%zevo_install_path%" : installPath) + tail);
  EXPECT_EQ(*std::get<const std::int32_t*>(object->Settings().at(0x12770003u)), 4);
  EXPECT_EQ(object->Settings().size(), 3u);
  EXPECT_TRUE(engine_.Whitelist().empty());
}

TEST_F(EngineInterfaceTest, RepositoryValuesAndExclusionList) {
  UseRepository(true, true, ";a;;b;");
  EngineObject object = Open();
  EXPECT_TRUE(object->BackupDefault());
  EXPECT_EQ(object->BackupFolder(), u"D:\\bk\\");
  EXPECT_EQ(object->ScannerSetting(), 11);
  EXPECT_EQ(Whitelisted(), (std::vector<std::u16string>{u"7", u"9"}));
  object->SetExclusiveSpyware(u"b;;nobody;");
  EXPECT_EQ(Whitelisted(), (std::vector<std::u16string>{u"7", u"9", u"9"}));

  for (bool firstOn : {false, true}) {  // either switch off turns backups off
    UseRepository(firstOn, !firstOn, "");
    EXPECT_FALSE(Open()->BackupDefault());
  }
  EXPECT_EQ(engine_.Whitelist().size(), 3u);  // an empty list adds nothing
}

}  // namespace
}  // namespace zevo::iface
