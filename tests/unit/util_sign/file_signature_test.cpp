// Platform-independent rules of the signature check: the switch-off path
// and the context operations; and, on Windows, an unsigned library refused.
#include "util/file_signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sign_test_support.h"

namespace zevo::util {
namespace {

using signtest::SwitchForced;
using signtest::UtilLog;

std::int32_t CountCalls(const char16_t*, const char16_t*, void* userData) {
  ++*static_cast<int*>(userData);
  return 0;
}

TEST(FileSignatureSwitchOff, EveryFilePassesWithoutBeingOpened) {
  const SwitchForced off(false);
  const UtilLog log;
  // Opening it would fail: nothing there.
  const std::u16string missing = signtest::TempFolder().At("missing.dll");
  const char16_t* paths[] = {missing.c_str(), nullptr};
  int calls = 0;
  EXPECT_TRUE(CheckFilesSignature(paths, 2, &CountCalls, &calls));
  EXPECT_EQ(calls, 0);
  std::uint8_t results[4] = {};
  EXPECT_EQ(VerifySignContext(nullptr, results, 4), 4);
  EXPECT_EQ(std::vector<std::uint8_t>(results, results + 4), (std::vector<std::uint8_t>{1, 1, 1, 1}));
  bool isSigned = false;
  char16_t signer[8] = {u'x'};
  EXPECT_EQ(CheckFileSignature(missing.c_str(), signer, 8, &isSigned), 1);
  EXPECT_TRUE(isSigned);
  EXPECT_EQ(signer[0], u'x');  // untouched: nothing was checked
  // A null verdict pointer is refused rather than written through.
  EXPECT_EQ(CheckFileSignature(missing.c_str(), nullptr, 0, nullptr), -1);
  EXPECT_TRUE(log.Texts().empty());
}

TEST(FileSignContextTest, PathsAreCountedOnceAndSignersCopiedBounded) {
  FileSignContext* ctx = CreateFileSignContext();
  ASSERT_NE(ctx, nullptr);
  EXPECT_EQ(AddFileToSignContext(nullptr, u"a"), kSignBadArgument);
  EXPECT_EQ(AddFileToSignContext(ctx, nullptr), kSignBadArgument);
  EXPECT_EQ(AddFileToSignContext(ctx, u"b"), 1);
  EXPECT_EQ(AddFileToSignContext(ctx, u"b"), 1);
  EXPECT_EQ(AddFileToSignContext(ctx, u"B"), 2);  // case-sensitive

  ctx->files[u"b"].signer = std::u16string(600, u's');
  std::vector<char16_t> buffer(512, u'#');
  EXPECT_EQ(GetSignContextSigner(ctx, u"b", buffer.data(), 511), 600);
  EXPECT_EQ(std::u16string(buffer.data()), std::u16string(510, u's'));
  EXPECT_EQ(buffer[511], u'#');  // nothing beyond the size given
  EXPECT_EQ(GetSignContextSigner(ctx, u"B", buffer.data(), 511), 0);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(GetSignContextSigner(ctx, u"c", buffer.data(), 511), kSignBadArgument);
  EXPECT_EQ(GetSignContextSigner(nullptr, u"b", nullptr, 0), kSignBadArgument);
  DestroyFileSignContext(ctx);
}

TEST(FileSignatureSwitchOn, NoUsableListOrMissingFileIsRefused) {
  const SwitchForced on(true);
  const char16_t* onlyNull[] = {nullptr};
  EXPECT_FALSE(CheckFilesSignature(onlyNull, 1, nullptr, nullptr));
  EXPECT_FALSE(CheckFilesSignature(nullptr, 3, nullptr, nullptr));
  std::uint8_t results[2] = {};
  EXPECT_EQ(VerifySignContext(nullptr, results, 2), kSignBadArgument);
  FileSignContext empty;
  EXPECT_EQ(VerifySignContext(&empty, results, 2), kSignBadArgument);
  bool isSigned = true;
  EXPECT_EQ(CheckFileSignature(nullptr, nullptr, 0, &isSigned), -1);
  if (signtest::InStartupGrace()) GTEST_SKIP() << "system started < 2 min ago";

  const UtilLog log;
  const std::u16string missing = signtest::TempFolder().At("absent.dll");
  const char16_t* paths[] = {missing.c_str()};
  EXPECT_FALSE(CheckFilesSignature(paths, 1, nullptr, nullptr));
  EXPECT_EQ(CheckFileSignature(missing.c_str(), nullptr, 0, &isSigned), -1);
  EXPECT_FALSE(isSigned);
  // The batch and the single-file check log the same line.
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].module + u"|" + lines[0].file, u"Util COMMON|Std_Utils_File");
  EXPECT_EQ(lines[0].level, 5);
  EXPECT_EQ(lines[0].text, u" PreIncludeZVFile CreateFile fail! 0x2");
  EXPECT_EQ(lines[1].text, lines[0].text);
}

#ifdef _WIN32
// A library the build made, and nobody signed, is refused by the system's
// trust verification and catalog lookup. ctest runs the program in the bin
// folder, where the library is built.
TEST(WindowsSignatureTest, UnsignedLibraryIsRefused) {
  if (signtest::InStartupGrace()) GTEST_SKIP() << "system started < 2 min ago";
  const SwitchForced on(true);
  const UtilLog log;
  const std::u16string path = (std::filesystem::current_path() / ZEVO_SIGN_TESTLIB_NAME).u16string();
  const char16_t* paths[] = {path.c_str()};
  EXPECT_FALSE(CheckFilesSignature(paths, 1, nullptr, nullptr));
  bool isSigned = true;
  EXPECT_LE(CheckFileSignature(path.c_str(), nullptr, 0, &isSigned), 0);
  EXPECT_FALSE(isSigned);
  const auto texts = log.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0], u" This file isn't signed! 0");
  EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const std::u16string& text) {
    return text.starts_with(u"Unsigned file! file=" + path + u", ");
  }));
}
#endif

}  // namespace
}  // namespace zevo::util
