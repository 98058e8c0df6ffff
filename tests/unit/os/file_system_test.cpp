#include "os/file_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>

#include "../util_files/files_test_support.h"
#include "os/path.h"
#include "os/system_error.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zevo::os {
namespace {

namespace fs = std::filesystem;

// A private folder (with a non-ASCII name) per test.
using FileSystemTest = filestest::FilesTest;

TEST_F(FileSystemTest, FoldersAreCreatedOneLevelAndRemovedWhenEmpty) {
  EXPECT_FALSE(PathExists(At("a")));
  EXPECT_TRUE(CreateFolder(At("a")));
  EXPECT_TRUE(PathExists(At("a")));
  EXPECT_FALSE(CreateFolder(At("a")));  // exists already
  EXPECT_FALSE(CreateFolder((root_ / "b" / "c").u16string()));
  EXPECT_NE(LastErrorCode(), 0);
  // A trailing separator and a doubled one are both accepted.
  EXPECT_TRUE(CreateFolder(At("a") + kPathSeparator + kPathSeparator + u"d" + kPathSeparator));
  Write("a/d/f", "x");
  EXPECT_TRUE(PathExists(At("a") + kPathSeparator + u"d" + kPathSeparator + u"f"));
  EXPECT_FALSE(RemoveFolder(At("a")));  // not empty
  fs::remove(root_ / "a" / "d" / "f");
  EXPECT_TRUE(RemoveFolder(At("a") + kPathSeparator + u"d"));
  EXPECT_TRUE(RemoveFolder(At("a")));
  EXPECT_FALSE(PathExists(At("a")));
}

TEST_F(FileSystemTest, AMoveNeverReplacesAFile) {
  Write("new.tkb", "new");
  Write("old.tkb", "old");
  fs::create_directories(root_ / "into");
  EXPECT_FALSE(MoveFileTo(At("new.tkb"), At("old.tkb")));
  EXPECT_NE(LastErrorText().find(u"failed with error "), std::u16string::npos);
  EXPECT_EQ(Read("new.tkb"), "new");
  EXPECT_EQ(Read("old.tkb"), "old");
  const std::u16string target = At("into") + kPathSeparator + u"new.tkb";
  EXPECT_TRUE(MoveFileTo(At("new.tkb"), target));
  EXPECT_FALSE(fs::exists(root_ / "new.tkb"));
  EXPECT_EQ(Read("into/new.tkb"), "new");
  EXPECT_FALSE(MoveFileTo(At("absent"), At("other")));
}

TEST_F(FileSystemTest, FirstMatchNamesOneFileOfTheFolder) {
  std::u16string name = u"untouched";
  EXPECT_FALSE(FindFirstMatch(At("missing"), u"*.tkb", name));
  EXPECT_FALSE(FindFirstMatch(root_.u16string(), u"*.tkb", name));
  EXPECT_EQ(name, u"untouched");
  Write("a.txt", "");
  Write(u"Übung_1.tkb", "");
  for (const std::u16string& folder : {root_.u16string(), root_.u16string() + kPathSeparator}) {
    ASSERT_TRUE(FindFirstMatch(folder, u"*.tkb", name));
    EXPECT_EQ(name, u"Übung_1.tkb");
  }
}

TEST_F(FileSystemTest, FullPathsAreAbsoluteAndNormal) {
  std::u16string full = u"untouched";
  EXPECT_FALSE(GetFullPath(u"", full));
  EXPECT_EQ(full, u"untouched");
  const std::u16string sep(1, kPathSeparator);
  ASSERT_TRUE(GetFullPath(root_.u16string() + sep + u"x" + sep + u".." + sep + u"y" + sep + sep + u"z.tkb", full));
  EXPECT_EQ(fs::path(full), (root_ / "y" / "z.tkb").lexically_normal());
  ASSERT_TRUE(GetFullPath(u"rel.tkb", full));
  EXPECT_EQ(fs::path(full), (fs::current_path() / "rel.tkb").lexically_normal());
}

#if !defined(_WIN32)
// Needs a second file system: /dev/shm when it is another one than the
// temp folder's.
TEST_F(FileSystemTest, AMoveToAnotherFileSystemCopiesFirst) {
  const fs::path other = fs::path("/dev/shm") / ("zevo-os-move-" + std::to_string(::getpid()));
  std::error_code error;
  if (!fs::create_directory(other, error)) GTEST_SKIP() << "no /dev/shm";
  struct stat a {
  }, b{};
  if (::stat(other.c_str(), &a) != 0 || ::stat(root_.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
    fs::remove_all(other, error);
    GTEST_SKIP() << "/dev/shm is on the same file system";
  }
  std::ofstream(other / "f.tkb") << std::string(200000, 'b');
  fs::permissions(other / "f.tkb", fs::perms::owner_read | fs::perms::owner_write);
  const auto written = fs::last_write_time(other / "f.tkb") - std::chrono::hours(5);
  fs::last_write_time(other / "f.tkb", written);
  Write("taken.tkb", "taken");
  EXPECT_FALSE(MoveFileTo((other / "f.tkb").u16string(), At("taken.tkb")));
  EXPECT_EQ(Read("taken.tkb"), "taken");
  ASSERT_TRUE(MoveFileTo((other / "f.tkb").u16string(), At("moved.tkb")));
  EXPECT_FALSE(fs::exists(other / "f.tkb"));
  EXPECT_EQ(Read("moved.tkb"), std::string(200000, 'b'));
  EXPECT_EQ(fs::status(root_ / "moved.tkb").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::last_write_time(root_ / "moved.tkb"), written);
  fs::remove_all(other, error);
}

TEST_F(FileSystemTest, NoDeletionAtRestartOnPosix) {
  Write("f", "x");
  EXPECT_FALSE(DeleteAtRestart(At("f")));
  EXPECT_EQ(LastErrorCode(), ENOSYS);
  EXPECT_TRUE(fs::exists(root_ / "f"));
}
#endif

}  // namespace
}  // namespace zevo::os
