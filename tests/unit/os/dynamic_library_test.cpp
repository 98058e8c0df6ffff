#include "os/dynamic_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "os/system_error.h"
#include "os/text.h"

namespace zevo::os {
namespace {

using AddFn = std::int32_t (*)(std::int32_t, std::int32_t);

// ctest runs the program in the bin folder, where the library is built.
std::u16string TestLibraryPath() { return (std::filesystem::current_path() / ZEVO_OS_TESTLIB_NAME).u16string(); }

TEST(DynamicLibraryTest, LoadsResolvesMovesAndReleasesOnce) {
  DynamicLibrary first = DynamicLibrary::Load(TestLibraryPath());
  ASSERT_TRUE(first.IsLoaded()) << Utf16ToUtf8(LastErrorText());
  DynamicLibrary second(std::move(first));
  EXPECT_FALSE(first.Release());  // NOLINT(bugprone-use-after-move)

  auto add = reinterpret_cast<AddFn>(second.Symbol("zevo_os_testlib_add"));
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(add(-7, 3), -4);
  EXPECT_EQ(second.Symbol("zevo_os_testlib_missing"), nullptr);
  EXPECT_EQ(second.Symbol(nullptr), nullptr);

  DynamicLibrary library;
  library = std::move(second);
  EXPECT_FALSE(second.IsLoaded());  // NOLINT(bugprone-use-after-move)
  EXPECT_TRUE(library.Release());
  EXPECT_FALSE(library.Release());
  EXPECT_EQ(library.Symbol("zevo_os_testlib_add"), nullptr);
}

TEST(DynamicLibraryTest, FailedLoadLeavesItsErrorToRead) {
  const std::u16string path = (std::filesystem::current_path() / "zevo_no_such_library.dll").u16string();
  EXPECT_FALSE(DynamicLibrary::Load(path).IsLoaded());
  const std::int32_t code = LastErrorCode();
  EXPECT_NE(code, 0);
  // The system's message differs between systems (and wine): only its log form.
  const std::string prefix = "failed with error " + std::to_string(code) + ": ";
  EXPECT_EQ(Utf16ToUtf8(LastErrorText()).substr(0, prefix.size()), prefix);

  // No path at all, or a real library's path cut short by a NUL, never loads.
  EXPECT_FALSE(DynamicLibrary::Load(u"").IsLoaded());
  EXPECT_NE(LastErrorCode(), 0);
  std::u16string withNul = TestLibraryPath();
  withNul += u'\0';
  withNul += u"x";
  EXPECT_FALSE(DynamicLibrary::Load(withNul).IsLoaded());
}

}  // namespace
}  // namespace zevo::os
