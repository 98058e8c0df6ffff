// Windows: a library the build made, and nobody signed, is refused by the
// system's trust verification and catalog lookup.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "sign_test_support.h"
#include "util/file_signature.h"

namespace zevo::util {
namespace {

#ifdef _WIN32

using signtest::SwitchForced;
using signtest::UtilLog;

// ctest runs the program in the bin folder, where the library is built.
std::u16string UnsignedLibraryPath() {
  return (std::filesystem::current_path() / ZEVO_SIGN_TESTLIB_NAME)
      .u16string();
}

TEST(WindowsSignatureTest, UnsignedLibraryIsRefused) {
  if (signtest::InStartupGrace()) GTEST_SKIP() << "system started < 2 min ago";
  const SwitchForced on(true);
  const UtilLog log;
  const std::u16string path = UnsignedLibraryPath();
  ASSERT_TRUE(std::filesystem::exists(path));
  const char16_t* paths[] = {path.c_str()};
  EXPECT_FALSE(CheckFilesSignature(paths, 1, nullptr, nullptr));

  bool isSigned = true;
  char16_t signer[16] = {u'#'};
  EXPECT_LE(CheckFileSignature(path.c_str(), signer, 16, &isSigned), 0);
  EXPECT_FALSE(isSigned);

  std::u16string name = u"unchanged";
  EXPECT_FALSE(ReadSignerName(path, name));
  EXPECT_EQ(name, u"unchanged");

  // The batch's refusal line, with no error recorded yet in that call.
  const auto texts = log.Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0], u" This file isn't signed! 0");
  bool refusalLogged = false;
  for (const std::u16string& text : texts) {
    refusalLogged = refusalLogged ||
                    text.starts_with(u"Unsigned file! file=" + path + u", ");
  }
  EXPECT_TRUE(refusalLogged);
}

#else

TEST(WindowsSignatureTest, EmbeddedSignaturesAreWindowsOnly) {
  GTEST_SKIP() << "POSIX checks detached .p7s signatures instead";
}

#endif

}  // namespace
}  // namespace zevo::util
