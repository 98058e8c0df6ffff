// The file layer against real folders: counters, byte copies, tree copies
// and updates, full paths.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "../log/log_test_support.h"
#include "files_test_support.h"
#include "os/file_ops.h"
#include "os/path.h"
#include "util/file_ops.h"
#include "util/path_match.h"

namespace zevo::util {
namespace {

namespace fs = std::filesystem;

using FileOps = filestest::FilesTest;

// The long form of an existing path as the system gives it (wine and
// Windows may spell the temporary folder differently from how it was asked).
std::u16string LongPath(const std::u16string& path) {
  std::u16string result;
  return os::LongPathOf(path, result) ? result : u"?";
}

TEST_F(FileOps, CounterFiles) {
  const struct {
    std::string text;
    bool ok;
    std::uint32_t value;
  } cases[] = {{"41", true, 41},
               {" 7\r\n", true, 7},
               {"12abc", true, 12},
               {"abc", false, 0},
               {"-1", false, 0},
               {"", false, 0},
               {"4294967295", true, 4294967295u},
               {"4294967296", false, 0},
               {std::string(80, '0'), false, 0}};
  for (const auto& c : cases) {
    Write("n", c.text);
    std::uint32_t value = 0;
    EXPECT_EQ(ReadNumberFromFile(value, At("n").c_str()), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  std::uint32_t value = 0;
  EXPECT_FALSE(ReadNumberFromFile(value, nullptr));
  EXPECT_FALSE(WriteNumberToFile(1, nullptr));
  EXPECT_FALSE(IncreaseRestoreCounters(root_.u16string().c_str()));  // no files
  ASSERT_TRUE(WriteNumberToFile(4294967295u, At("restore.ini").c_str()));
  Write("restore.txt", "9");
  EXPECT_TRUE(IncreaseRestoreCounters(root_.u16string().c_str()));
  EXPECT_EQ(Read("restore.ini") + "," + Read("restore.txt"), "0,10");
  EXPECT_EQ(Count(), 3u);  // n, restore.ini, restore.txt: no temporary file left
}

TEST_F(FileOps, ByteCopiesKeepTimesAndTakeAnEqualTimeAsUpToDate) {
  Write("s", std::string(200000, 'x'));
  // Whole seconds: POSIX keeps the times in FILETIME's 100 ns steps.
  fs::last_write_time(
      root_ / "s", std::chrono::floor<std::chrono::seconds>(fs::last_write_time(root_ / "s")) - std::chrono::hours(5));
  ASSERT_TRUE(CopyFileContents(At("s").c_str(), At("t").c_str(), false));
  EXPECT_EQ(Read("t"), Read("s"));
  EXPECT_EQ(fs::last_write_time(root_ / "t"), fs::last_write_time(root_ / "s"));
  Write("t", "changed");
  fs::last_write_time(root_ / "t", fs::last_write_time(root_ / "s"));
  EXPECT_TRUE(CopyFileContents(At("s").c_str(), At("t").c_str(), false));
  EXPECT_EQ(Read("t"), "changed");  // taken as up to date
  EXPECT_FALSE(CopyFileContents(At("missing").c_str(), At("t").c_str(), false));
  EXPECT_FALSE(CopyFileContents(nullptr, At("t").c_str(), false));
#if !defined(_WIN32)
  // A read that fails half-way: no short target is left to pass for a copy.
  EXPECT_FALSE(CopyFileContents(u"/proc/self/mem", At("t").c_str(), false));
  EXPECT_EQ(Read("t"), "-");
#endif
}

TEST_F(FileOps, TreesAreCopiedAndUpdatedWithTheCfgScheme) {
  Write("src/a.dll", "a");
  Write("src/b.txt", "b");
  Write("src/sub/c.dll", "c");
  Write("src/sub/deeper/x.dll", "x");
  Write("outside/o.dll", "o");
  const std::u16string src = At("src");
  const std::u16string cfg = At("cfg");
  fs::create_directory(root_ / "cfg");
#if !defined(_WIN32)
  fs::create_symlink(root_ / "outside" / "o.dll", root_ / "src" / "link.dll");
  fs::create_directory(root_ / "cfg" / "sub");
  fs::create_directory_symlink(root_ / "outside", root_ / "cfg" / "sub" / "deeper");
#endif
  EXPECT_TRUE(CopyFolder(src.c_str(), cfg.c_str(), u".dll", /*recursive=*/true, /*useHardLink=*/true, 1));
  EXPECT_EQ(Read("cfg/a.dll.cfg") + Read("cfg/sub/c.dll.cfg") + Read("cfg/b.txt.cfg"), "ac-");
  const std::u16string back = At("back");
  fs::create_directory(root_ / "back");
  EXPECT_EQ(UpdateFolder(cfg.c_str(), back.c_str(), u".dll", true, /*useMove=*/true, 2), 0);
  EXPECT_EQ(Read("back/a.dll") + Read("back/sub/c.dll"), "ac");
  EXPECT_EQ(Read("cfg/link.dll.cfg") + Read("back/link.dll"), "--");
  EXPECT_EQ(Read("outside/x.dll.cfg"), "-");  // nothing written through a linked target folder
  // Bad arguments, a missing source, a target inside its source.
  EXPECT_FALSE(CopyFolder(nullptr, cfg.c_str(), u"*", true, false, 0));
  EXPECT_EQ(UpdateFolder(src.c_str(), nullptr, u"*", true, false, 0), os::kErrorInvalidParameter);
  EXPECT_EQ(UpdateFolder(At("missing").c_str(), back.c_str(), u"*", true, false, 0), 0);
  EXPECT_EQ(UpdateFolder(src.c_str(), (src + os::kPathSeparator + u"sub").c_str(), u"*", true, false, 0),
            os::kErrorInvalidParameter);
  EXPECT_FALSE(CopyFolder(src.c_str(), src.c_str(), u"*", true, false, 0));
}

TEST_F(FileOps, ExistenceFullPathsAndAttributes) {
  Write("f", "x");
  EXPECT_TRUE(FileExists(At("f").c_str()));
  EXPECT_FALSE(DirectoryExists(At("f").c_str()));
  EXPECT_TRUE(DirectoryExists(root_.u16string().c_str()));
  for (const char16_t* bad : {static_cast<const char16_t*>(nullptr), u""}) {
    std::u16string full = u"kept";
    EXPECT_FALSE(FileExists(bad));
    EXPECT_FALSE(GetFullPath(bad, full));
    EXPECT_EQ(full, u"kept");
  }
  // Relative, and past every length limit of the first buffer.
  for (const std::size_t length : {1u, 260u, 32000u}) {
    const std::u16string name(length, u'n');
    std::u16string full;
    ASSERT_TRUE(GetFullPath(name.c_str(), full)) << length;
    EXPECT_EQ(full, (fs::current_path() / fs::path(name)).u16string());
  }
  // A read-only file is moved and deleted all the same.
  fs::permissions(root_ / "f", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  std::uint32_t attributes = 0;
  ASSERT_TRUE(os::GetAttributes(At("f"), attributes));
  EXPECT_EQ(attributes & (os::kAttributeReadOnly | os::kAttributeDirectory), os::kAttributeReadOnly);
  EXPECT_TRUE(MoveFileWithFallback(At("f").c_str(), At("g").c_str(), os::kMoveReplaceExisting, true));
  ASSERT_TRUE(os::GetAttributes(At("g"), attributes));
  EXPECT_EQ(attributes & os::kAttributeReadOnly, 0u);
  fs::rename(root_ / "g", root_ / "f");
  EXPECT_TRUE(DeleteExistingFileByUpdate(At("f").c_str()));
  EXPECT_FALSE(FileExists(At("f").c_str()));
  EXPECT_TRUE(DeleteExistingFileByUpdate(At("f").c_str()));
}

TEST_F(FileOps, ARetriedCopyLogsAndGoesAroundAFolderInTheWay) {
  Write("s", "new");
  fs::create_directory(root_ / "t");  // a copy onto it is refused with 5
  logtest::LineCapture capture;
  logtest::Configure("Util COMMON=3");
  const std::int32_t result = CopyFileWithRetry(At("s").c_str(), At("t").c_str());
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  logtest::Configure(nullptr);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Read("t"), "new");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].module + u"|" + lines[0].file, u"Util COMMON|Std_Utils_File");
  EXPECT_EQ(lines[0].text, u"CopyFileW(" + At("s") + u", " + At("t") +
                               u", false) failed, retry it again atfer rename the existing target file, "
                               u"GetLastError() = 0x5");
}

TEST_F(FileOps, LongPathsOfPathsWithATilde) {
  fs::create_directory(root_ / "PROGRA~1");
  const std::u16string folder = At("PROGRA~1");
  EXPECT_EQ(GetLongPathCopy(folder.c_str()).value_or(u"-"), LongPath(folder));
  const std::u16string inside = folder + os::kPathSeparator + u"new.txt";  // does not exist yet
  EXPECT_EQ(GetLongPathCopy(inside.c_str()).value_or(u"-"), LongPath(folder) + os::kPathSeparator + u"new.txt");
}

TEST(FileVersion, FilesWithoutAVersionResource) {
  std::uint32_t parts[3] = {};
  std::u16string text = u"kept";
  EXPECT_FALSE(GetFileVersionString(nullptr, text));
  EXPECT_FALSE(GetFileVersionString(u"no-such-file", text));
  const std::u16string self = GetModuleDirectory(nullptr);
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(self.back(), os::kPathSeparator);
  EXPECT_FALSE(GetFileVersionParts(u"", parts[0], parts[1], parts[2]));
  EXPECT_EQ(text, u"kept");
}

}  // namespace
}  // namespace zevo::util
