#include "os/dynamic_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "os/system_error.h"
#include "os/text.h"

namespace zevo::os {
namespace {

using AnswerFn = std::int32_t (*)();
using AddFn = std::int32_t (*)(std::int32_t, std::int32_t);

// ctest runs the program in the bin folder, where the library is built.
std::u16string TestLibraryPath() { return (std::filesystem::current_path() / ZEVO_OS_TESTLIB_NAME).u16string(); }

// The log form around the system's message; the message itself differs
// between systems (and wine) and is not checked.
void ExpectErrorTextFor(std::int32_t code, const std::u16string& text) {
  EXPECT_LE(text.size(), kMaxErrorTextLength);
  const std::string utf8 = Utf16ToUtf8(text);
  const std::string prefix = "failed with error " + std::to_string(code) + ": ";
  EXPECT_EQ(utf8.substr(0, prefix.size()), prefix) << utf8;
}

TEST(DynamicLibraryTest, LoadsResolvesAndReleasesOnce) {
  DynamicLibrary library = DynamicLibrary::Load(TestLibraryPath());
  ASSERT_TRUE(library.IsLoaded()) << Utf16ToUtf8(LastErrorText());

  auto answer = reinterpret_cast<AnswerFn>(library.Symbol("zevo_os_testlib_answer"));
  auto add = reinterpret_cast<AddFn>(library.Symbol("zevo_os_testlib_add"));
  ASSERT_NE(answer, nullptr);
  ASSERT_NE(add, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(add(-7, 3), -4);

  EXPECT_EQ(library.Symbol("zevo_os_testlib_missing"), nullptr);
  EXPECT_EQ(library.Symbol(nullptr), nullptr);

  EXPECT_TRUE(library.Release());
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_FALSE(library.Release());
  EXPECT_EQ(library.Symbol("zevo_os_testlib_answer"), nullptr);
}

TEST(DynamicLibraryTest, MoveHandsOverTheReference) {
  DynamicLibrary first = DynamicLibrary::Load(TestLibraryPath());
  ASSERT_TRUE(first.IsLoaded());

  DynamicLibrary second(std::move(first));
  EXPECT_FALSE(first.IsLoaded());  // NOLINT(bugprone-use-after-move)
  EXPECT_FALSE(first.Release());
  ASSERT_TRUE(second.IsLoaded());

  DynamicLibrary third;
  third = std::move(second);
  EXPECT_FALSE(second.IsLoaded());  // NOLINT(bugprone-use-after-move)
  ASSERT_NE(third.Symbol("zevo_os_testlib_answer"), nullptr);
  EXPECT_TRUE(third.Release());
}

TEST(DynamicLibraryTest, FailedLoadLeavesItsErrorToRead) {
  const std::u16string path = (std::filesystem::current_path() / "zevo_no_such_library.dll").u16string();
  DynamicLibrary missing = DynamicLibrary::Load(path);
  const std::int32_t code = LastErrorCode();
  const std::u16string text = LastErrorText();
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_NE(code, 0);
  ExpectErrorTextFor(code, text);

  // No path at all, or one cut short by a NUL, must never load anything.
  EXPECT_FALSE(DynamicLibrary::Load(u"").IsLoaded());
  EXPECT_NE(LastErrorCode(), 0);
  // The part before the NUL is a real library: it must not be loaded.
  std::u16string withNul = TestLibraryPath();
  withNul += u'\0';
  withNul += u"x";
  EXPECT_FALSE(DynamicLibrary::Load(withNul).IsLoaded());
}

}  // namespace
}  // namespace zevo::os
