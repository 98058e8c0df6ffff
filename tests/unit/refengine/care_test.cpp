// Backup and restore refusals, the item list and referential items.
#include <fstream>
#include <iterator>

#include "engine_fixture.h"
#include "samples.h"

namespace tarsk::test {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> BackupFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

class CareTest : public EngineTest {
 protected:
  // Scans the samples, selects everything and backs it up; returns the .tkb file.
  fs::path ScanAndBackUp() {
    WriteSamples();
    EXPECT_EQ(ScanAll(), 0);
    backups_ = dir_ / "backups";
    fs::create_directories(backups_);
    EXPECT_EQ(Tk().TKSelectItems(h_, zevo::kAllItems, 1), 0);
    EXPECT_EQ(Tk().TKSetOption(h_, zevo::kOptionBackupPath, U16(backups_).c_str()), 0);
    EXPECT_EQ(Tk().TKSetOption(h_, zevo::kOptionBackupPrefix, u"Acme/Adware: Ltd"), 0);
    EXPECT_EQ(Tk().TKBackup(h_, u""), 0);
    const std::vector<fs::path> files = BackupFiles(backups_);
    EXPECT_EQ(files.size(), 1u);
    return files.empty() ? fs::path() : files.front();
  }

  fs::path backups_;
};

// The round trip itself (clean, restore, identical files with their modes and
// times) is the module's: tests/integration/clean drives it on random trees.
TEST_F(CareTest, RestoreRefusesTamperedFilesAndDifferentTargetsThenRestores) {
  const fs::path tkb = ScanAndBackUp();
  EXPECT_EQ(PathText(tkb.filename()).rfind("Acme_Adware_ Ltd_", 0), 0u) << PathText(tkb);
  ASSERT_EQ(Tk().TKClean(h_, u""), 0);
  const fs::path eicar = root_ / "eicar.com";
  ASSERT_FALSE(fs::exists(eicar));

  std::string bytes = Bytes(tkb);
  bytes[bytes.size() / 2] ^= 0x01;
  std::ofstream(backups_ / "tampered.tkb", std::ios::binary) << bytes;
  EXPECT_EQ(Tk().TKRestore(h_, u"tampered.tkb"), kBackupCorrupt);
  EXPECT_FALSE(fs::exists(eicar));

  const fs::path dialer = root_ / "programs" / "dialer.exe";
  std::ofstream(dialer) << "someone else's file";
  EXPECT_EQ(Tk().TKRestore(h_, U16(tkb.filename()).c_str()), kTargetExists);
  EXPECT_EQ(Bytes(dialer), "someone else's file");
  EXPECT_FALSE(fs::exists(eicar));  // nothing is written when one target conflicts
  EXPECT_EQ(Tk().TKRestore(h_, u"../escape.tkb"), kInvalidArgument);

  fs::remove(dialer);
  EXPECT_EQ(Tk().TKRestore(h_, U16(tkb.filename()).c_str()), 0);
  EXPECT_NE(Bytes(dialer), "someone else's file");
  EXPECT_TRUE(fs::exists(eicar));
}

TEST_F(CareTest, ItemListOperations) {
  WriteSamples();
  ASSERT_EQ(ScanAll(), 0);
  std::int32_t count = 0;
  ASSERT_EQ(Tk().TKGetItemIndexByCompanyName(h_, u"Umbrella Dialers", nullptr, &count), 0);
  EXPECT_EQ(count, 3);  // dialer, its non-ASCII copy, resident
  std::vector<std::uint32_t> indexes(8, 99);
  count = 2;
  ASSERT_EQ(Tk().TKGetItemIndexByCompanyName(h_, u"Umbrella Dialers", indexes.data(), &count), 0);
  EXPECT_EQ(count, 2);
  const std::vector<TKC_ITEM> items = Items();
  EXPECT_TRUE(items[indexes[0]].itemId == 1004 || items[indexes[0]].itemId == 1008);
  EXPECT_EQ(indexes[2], 99u);

  // Only selected items are cleaned.
  ASSERT_EQ(Tk().TKSelectItems(h_, zevo::kAllItems, 0), 0);
  ASSERT_EQ(Tk().TKSelectItems(h_, indexes[0], 1), 0);
  ASSERT_EQ(Tk().TKClean(h_, u""), 0);
  EXPECT_EQ(Items()[indexes[0]].resultFlags & 1u, 1u);
  EXPECT_TRUE(fs::exists(root_ / "eicar.com"));

  ASSERT_EQ(Tk().TKRemoveItems(h_, zevo::kAllItems), 0);
  EXPECT_TRUE(Items().empty());
}

TEST_F(CareTest, ReferentialItems) {
  WriteSamples();
  ASSERT_EQ(Tk().TKEnableScanner(h_, zevo::kDefaultScanners, 1), 0);
  const std::u16string ref = U16(root_ / "programs" / "adpopper.exe");
  EXPECT_EQ(Tk().TKAddReferentialScanItem(h_, ref.c_str(), u"*.exe", u"from the host", 0), 0);
  EXPECT_EQ(Tk().TKAddReferentialScanItem(h_, ref.c_str(), u"*.exe", u"from the host", 0), -100);
  const std::u16string missing = U16(root_ / "nothing.exe");
  EXPECT_EQ(Tk().TKAddReferentialScanItem(h_, missing.c_str(), u"", u"", 0), -101);
  const std::u16string outside = U16(dir_);
  EXPECT_EQ(Tk().TKAddReferentialScanItem(h_, outside.c_str(), u"", u"", 0), -101);
  ASSERT_EQ(Items().size(), 1u);
  EXPECT_EQ(Items()[0].kind, 17u);
  EXPECT_EQ(Items()[0].itemId, 1010);
  EXPECT_EQ(std::u16string(Items()[0].text5), u"from the host");

  ASSERT_EQ(Tk().TKScanRelatedReferences(h_, u""), 0);
  std::set<std::int32_t> ids;
  for (const TKC_ITEM& item : Items()) ids.insert(item.itemId);
  // Siblings named *.exe with a detection: adpopper and dialer.
  EXPECT_EQ(ids, (std::set<std::int32_t>{1010, 1002, 1004}));
}

}  // namespace
}  // namespace tarsk::test
