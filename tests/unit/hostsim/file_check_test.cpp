#include "sim/file_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "sim/protected_paths.h"
#include "sim/reference_host.h"
#include "zevo/organizer.h"
#include "zevo/records.h"
#include "zevo/result.h"

namespace zevo::hostsim {
namespace {

namespace fs = std::filesystem;

constexpr bool kWindows = fs::path::preferred_separator == '\\';

// "a/b" with the platform's separator.
std::u16string P(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'/') c = static_cast<char16_t>(fs::path::preferred_separator);
  }
  return text;
}

TEST(ProtectedPaths, PrefixEndsAtASeparatorAndFollowsThePlatformsNameRules) {
  EXPECT_TRUE(PathUnderPrefix(P(u"/data/keep"), P(u"/data/keep")));
  EXPECT_TRUE(PathUnderPrefix(P(u"/data/keep/a.exe"), P(u"/data/keep")));
  EXPECT_TRUE(PathUnderPrefix(P(u"/data/keep/a.exe"), P(u"/data/keep/")));
  EXPECT_FALSE(PathUnderPrefix(P(u"/data/keeper/a.exe"), P(u"/data/keep")));
  EXPECT_FALSE(PathUnderPrefix(P(u"/data/kee"), P(u"/data/keep")));
  EXPECT_FALSE(PathUnderPrefix(P(u"/data/keep"), u""));
  // Letter case and the other slash count only where the file system ignores them.
  EXPECT_EQ(PathUnderPrefix(P(u"/Data/KEEP/a.exe"), P(u"/data/keep")), kWindows);
  EXPECT_EQ(PathUnderPrefix(u"C:\\data\\keep\\a.exe", u"c:/DATA/keep"), kWindows);
  // Only ASCII letters fold: U+00DC is not U+00FC on either platform.
  EXPECT_FALSE(PathUnderPrefix(P(u"/\u00dcber/a"), P(u"/\u00fcber")));
}

TEST(ProtectedPaths, StoreFieldIsOptionalAndMalformedListsAreRefused) {
  std::vector<std::u16string> prefixes{u"left over"};
  std::string error;
  EXPECT_TRUE(ParseProtectedPaths(R"({"values": []})", prefixes, error));
  EXPECT_TRUE(prefixes.empty());
  EXPECT_TRUE(ParseProtectedPaths(R"({"values": [], "protectedPaths": ["/a", "C:\\b\u00fc"]})", prefixes, error));
  EXPECT_EQ(prefixes, (std::vector<std::u16string>{u"/a", u"C:\\b\u00fc"}));
  for (const char* bad :
       {R"({"protectedPaths": "/a"})", R"({"protectedPaths": ["/a", ""]})", R"({"protectedPaths": [7]})", "not json"}) {
    error.clear();
    EXPECT_FALSE(ParseProtectedPaths(bad, prefixes, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
    EXPECT_TRUE(prefixes.empty()) << bad;
  }
}

TEST(FileCheck, AnswersWhetherAFileStaysOutAndRefusesGarbage) {
  FileCheck check;
  check.SetProtectedPrefixes({P(u"/srv/keep"), P(u"/opt/tools/")});
  const std::u16string kept = P(u"/srv/keep/sub/eicar.com");
  const std::u16string cleaned = P(u"/srv/keeper/eicar.com");
  ZEVO_FileCheckRequest request{0, 0, kept.c_str(), 1, 0};
  ZEVO_FileCheckReply reply;
  for (const auto& [path, keepOut] : {std::pair{&kept, 1}, std::pair{&cleaned, 0}}) {
    request.path = path->c_str();
    std::memset(&reply, 0xcc, sizeof reply);
    EXPECT_EQ(check.Call(kFileCheck, &request, &reply), kCommonOk);
    EXPECT_EQ(reply.keepOut, keepOut);
    EXPECT_EQ(reply.reserved0, 0u);
    for (const std::uint8_t byte : reply.reserved1) EXPECT_EQ(byte, 0);
  }

  // Garbage leaves the reply as it was.
  std::memset(&reply, 0xcc, sizeof reply);
  EXPECT_EQ(check.Call(kFileCheck, nullptr, &reply), kUnsupported);
  EXPECT_EQ(check.Call(kFileCheck, &request, nullptr), kUnsupported);
  ZEVO_FileCheckRequest wrongMarkers{1, 0, kept.c_str(), 0, 0};
  EXPECT_EQ(check.Call(kFileCheck, &wrongMarkers, &reply), kUnsupported);
  EXPECT_EQ(check.Call(kFileCheck + 1, &request, &reply), kNotHandled);
  EXPECT_EQ(reply.keepOut, 0xcc);
  EXPECT_EQ(check.KeptOut(), 1u);

  check.ProtectEverything();
  EXPECT_EQ(check.Call(kFileCheck, &request, &reply), kCommonOk);
  EXPECT_EQ(reply.keepOut, 1);
}

// The module reaches the check through the services table, with the list of
// the host's configuration store; a list it cannot read protects everything.
TEST(FileCheck, ReferenceHostAnswersFromTheConfigurationStore) {
  const fs::path store = fs::temp_directory_path() / "zevo_file_check_test.json";
  const std::string prefix = kWindows ? R"(C:\\srv\\keep)" : "/srv/keep";  // as JSON text
  const auto write = [&](const std::string& list) {
    std::ofstream(store, std::ios::binary | std::ios::trunc) << R"({"values": [], "protectedPaths": )" << list << "}";
  };
  ReferenceHost host({});
  SPluginInterfaceOrganizer* table = host.Organizer();
  const std::uint64_t connection = table->OpenInterface(table, kFileCheckPair);
  ASSERT_NE(connection, 0u);

  const std::u16string kept = kWindows ? u"c:\\SRV\\keep\\a.exe" : u"/srv/keep/a.exe";
  const std::u16string other = kWindows ? u"C:\\srv\\other\\a.exe" : u"/srv/other/a.exe";
  ZEVO_FileCheckRequest request{0, 0, kept.c_str(), 1, 0};
  ZEVO_FileCheckReply reply{};
  EXPECT_EQ(table->CallInterface(table, connection, kFileCheck, &request, &reply), kCommonOk);
  EXPECT_EQ(reply.keepOut, 0);  // no store yet: nothing protected

  write("[\"" + prefix + "\"]");
  host.UseConfigStore(store);
  EXPECT_EQ(host.ProtectedPathsError(), "");
  EXPECT_EQ(table->CallInterface(table, connection, kFileCheck, &request, &reply), kCommonOk);
  EXPECT_EQ(reply.keepOut, 1);
  request.path = other.c_str();
  EXPECT_EQ(table->CallInterface(table, connection, kFileCheck, &request, &reply), kCommonOk);
  EXPECT_EQ(reply.keepOut, 0);

  // The store's backup folder is protected too: its files hold what was
  // cleaned before. A folder text with a placeholder is not a path yet.
  const std::string backup = kWindows ? R"(C:\srv\other\)" : "/srv/other/";
  std::ofstream(store, std::ios::binary | std::ios::trunc)
      << R"({"values": [{"key": "0x10c20001", "type": "wstring", "value": ")" << backup << R"("}]})";
  host.UseConfigStore(store);
  EXPECT_EQ(table->CallInterface(table, connection, kFileCheck, &request, &reply), kCommonOk);
  EXPECT_EQ(reply.keepOut, 1);
  std::ofstream(store, std::ios::binary | std::ios::trunc)
      << R"({"values": [{"key": "0x10c20001", "type": "wstring", "value": "%zevo_install_path%backup"}]})";
  host.UseConfigStore(store);
  EXPECT_EQ(host.fileCheck().ProtectedPrefixes().size(), 0u);

  write("\"" + prefix + "\"");
  host.UseConfigStore(store);
  EXPECT_NE(host.ProtectedPathsError(), "");
  EXPECT_EQ(table->CallInterface(table, connection, kFileCheck, &request, &reply), kCommonOk);
  EXPECT_EQ(reply.keepOut, 1);

  table->ReleaseInterface(table, connection);
  std::error_code ignored;
  fs::remove(store, ignored);
}

}  // namespace
}  // namespace zevo::hostsim
