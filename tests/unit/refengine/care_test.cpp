// Clean, backup and restore on real files; referential items.
#include <fstream>
#include <iterator>
#include <map>

#include "engine_fixture.h"
#include "samples.h"

namespace tarsk::test {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct FileState {
  std::string bytes;
  fs::perms perms;
  fs::file_time_type written;
};

std::vector<fs::path> BackupFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

class CareTest : public EngineTest {
 protected:
  // Scans the samples, gives every detected file a known mode and time,
  // selects everything and backs it up; returns the .tkb file.
  fs::path ScanAndBackUp() {
    WriteSamples();
    const auto written = fs::file_time_type::clock::now() - std::chrono::hours(30);
    for (const samples::Sample& sample : samples::AllSamples()) {
      const fs::path file = root_ / sample.path;
      fs::last_write_time(file, written);
      if (sample.itemId == 1004) fs::permissions(file, fs::perms::owner_read, fs::perm_options::replace);
      before_[file] = {Bytes(file), fs::status(file).permissions(), fs::last_write_time(file)};
    }
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

  void ExpectRestored() {
    for (const auto& [file, state] : before_) {
      ASSERT_TRUE(fs::exists(file)) << PathText(file);
      EXPECT_EQ(Bytes(file), state.bytes) << PathText(file);
      EXPECT_EQ(fs::status(file).permissions(), state.perms) << PathText(file);
      EXPECT_EQ(fs::last_write_time(file), state.written) << PathText(file);
    }
  }

  std::map<fs::path, FileState> before_;
  fs::path backups_;
};

TEST_F(CareTest, BackupCleanRestoreGivesIdenticalFiles) {
  const fs::path tkb = ScanAndBackUp();
  EXPECT_EQ(PathText(tkb.filename()).rfind("Acme_Adware_ Ltd_", 0), 0u) << PathText(tkb);
  EXPECT_EQ(tkb.extension(), ".tkb");

  ASSERT_EQ(Tk().TKClean(h_, u""), 0);
  for (const TKC_ITEM& item : Items()) {
    const std::uint32_t expected = item.itemId == 1008 ? 3u : 1u;  // the resident sample needs a restart
    EXPECT_EQ(item.resultFlags & 3u, expected) << item.itemId;
    EXPECT_EQ(item.state, 1u);
  }
  for (const samples::Sample& sample : samples::AllSamples()) {
    const bool keep = sample.itemId == 0 || sample.kind == ZEVO_ITEM_KIND_COOKIE;
    EXPECT_EQ(fs::exists(root_ / sample.path), keep) << PathText(sample.path);
  }
  const std::string cookies = Bytes(root_ / "profile" / "cookies.txt");
  EXPECT_EQ(cookies.find("globex"), std::string::npos);
  EXPECT_NE(cookies.find("news.example"), std::string::npos);

  ASSERT_EQ(Tk().TKRestore(h_, U16(tkb.filename()).c_str()), 0);
  ExpectRestored();
  // Restoring again over identical files changes nothing and succeeds.
  EXPECT_EQ(Tk().TKRestore(h_, U16(tkb.filename()).c_str()), 0);
  ExpectRestored();
}

TEST_F(CareTest, RestoreRefusesTamperedFilesAndDifferentTargets) {
  const fs::path tkb = ScanAndBackUp();
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
}

TEST_F(CareTest, ItemListOperations) {
  WriteSamples();
  ASSERT_EQ(ScanAll(), 0);
  TKC_ITEM item{};
  item.size = 3427;
  EXPECT_EQ(Tk().TKGetItem(h_, 0, &item), kInvalidArgument);

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
