// Platform-independent rules of the signature check: the switch-off path
// and the context operations.
#include "util/file_signature.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sign_test_support.h"

namespace zevo::util {
namespace {

using signtest::SwitchForced;
using signtest::TempDir;
using signtest::UtilLog;

std::int32_t CountCalls(const char16_t*, const char16_t*, void* userData) {
  ++*static_cast<int*>(userData);
  return 0;
}

TEST(FileSignatureSwitchOff, EveryFilePassesWithoutBeingOpened) {
  const SwitchForced off(false);
  const UtilLog log;
  const TempDir dir("off");
  // Opening any of these would fail: nothing there.
  const std::u16string missing = (dir / "missing.dll").u16string();
  const char16_t* paths[] = {missing.c_str(), nullptr};
  int calls = 0;
  EXPECT_TRUE(CheckFilesSignature(paths, 2, &CountCalls, &calls));
  EXPECT_TRUE(CheckFilesSignature(nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(calls, 0);

  std::uint8_t results[4] = {};
  EXPECT_EQ(VerifySignContext(nullptr, results, 4), 4);
  EXPECT_EQ(std::vector<std::uint8_t>(results, results + 4),
            (std::vector<std::uint8_t>{1, 1, 1, 1}));

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
  EXPECT_EQ(GetSignContextSigner(ctx, u"b", nullptr, 511), 600);
  EXPECT_EQ(GetSignContextSigner(ctx, u"B", buffer.data(), 511), 0);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(GetSignContextSigner(ctx, u"c", buffer.data(), 511),
            kSignBadArgument);
  EXPECT_EQ(GetSignContextSigner(nullptr, u"b", nullptr, 0), kSignBadArgument);
  DestroyFileSignContext(ctx);
  DestroyFileSignContext(nullptr);
}

TEST(FileSignatureSwitchOn, NoUsableListIsRefused) {
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
}

TEST(FileSignatureSwitchOn, MissingFileIsLoggedAndFails) {
  if (signtest::InStartupGrace()) GTEST_SKIP() << "system started < 2 min ago";
  const SwitchForced on(true);
  const UtilLog log;
  const TempDir dir("missing");
  const std::u16string missing = (dir / "absent.dll").u16string();
  const char16_t* paths[] = {missing.c_str()};
  EXPECT_FALSE(CheckFilesSignature(paths, 1, nullptr, nullptr));

  bool isSigned = true;
  EXPECT_EQ(CheckFileSignature(missing.c_str(), nullptr, 0, &isSigned), -1);
  EXPECT_FALSE(isSigned);

  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  for (const auto& line : lines) {
    EXPECT_EQ(line.module, u"Util COMMON");
    EXPECT_EQ(line.file, u"Std_Utils_File");
    EXPECT_EQ(line.level, 5);
    EXPECT_EQ(line.text, u" PreIncludeZVFile CreateFile fail! 0x2");
  }
}

}  // namespace
}  // namespace zevo::util
