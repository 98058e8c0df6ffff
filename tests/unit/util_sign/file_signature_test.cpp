// The signature check: the switch-off path and the context operations;
// signed, unsigned and tampered files against a test CA on POSIX, and on
// Windows an unsigned library refused.
#include "util/file_signature.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "os/trust.h"
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
  const signtest::TempFolder dir;  // the folder is there, the file is not
  const std::u16string missing = dir.At("absent.dll");
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

#ifndef _WIN32
// POSIX signatures: detached DER CMS signatures made at test time with the
// openssl command, against a test CA named by ZEVO_TRUST_STORE.

using signtest::TempFolder;

constexpr char16_t kSignerName[] = u"Zevo Test Signer";

// Runs one openssl command in `dir`; true when it succeeded.
bool OpenSsl(const TempFolder& dir, const std::string& arguments) {
  const std::string command = "cd '" + dir.path().string() + "' && openssl " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Two CAs, two signers and the files they signed, made once for the
// suite:
//   signed.dll    signed by "Zevo Test Signer" (code signing), trusted CA
//   unsigned.dll  no signature
//   tampered.dll  signed as signed.dll was, then changed
//   server.dll    signed by a trusted signer meant for TLS servers only
class PosixSignatureTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempFolder>();
    const TempFolder& d = *dir_;
    const std::string usage = "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n";
    d.Write("code.ext", usage + "extendedKeyUsage=codeSigning\n");
    d.Write("server.ext", usage + "extendedKeyUsage=serverAuth\n");
    const auto key = [](const std::string& name) {
      return " -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout " + name + ".key";
    };
    const std::string ca = " -days 2 -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign";
    std::vector<std::string> commands = {"req -x509" + key("ca") + " -out ca.pem -subj '/CN=Zevo Test CA'" + ca,
                                         "req -x509" + key("other") + " -out other.pem -subj '/CN=Other CA'" + ca};
    const char* const signers[][4] = {{"signer", "Zevo Test Signer", "ca", "code"},
                                      {"server", "Server Only", "ca", "server"}};
    int serial = 7;
    for (const auto& [name, commonName, issuer, ext] : signers) {
      const std::string n = name, i = issuer;
      commands.push_back("req" + key(n) + " -out " + n + ".csr -subj '/CN=" + commonName + "'");
      commands.push_back("x509 -req -in " + n + ".csr -CA " + i + ".pem -CAkey " + i + ".key -days 2 -set_serial " +
                         std::to_string(serial++) + " -extfile " + ext + ".ext -out " + n + ".pem");
    }
    const std::string content = "MZ not really a library\n" + std::string(3000, '\x5a');
    for (const char* name : {"signed", "unsigned", "tampered", "server"}) {
      d.Write(std::string(name) + ".dll", content);
    }
    for (const auto& [file, signer] : {std::pair{"signed", "signer"}, {"tampered", "signer"}, {"server", "server"}}) {
      commands.push_back("cms -sign -binary -outform DER -in " + std::string(file) + ".dll -signer " + signer +
                         ".pem -inkey " + signer + ".key -out " + file + ".dll.p7s");
    }
    for (const std::string& command : commands) {
      ASSERT_TRUE(OpenSsl(d, command)) << "openssl could not: " << command;
    }
    d.Write("tampered.dll", content + "appended");
  }

  static void TearDownTestSuite() { dir_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(dir_);
    if (signtest::InStartupGrace()) GTEST_SKIP() << "system started < 2 min ago";
    UseTrustStore("ca.pem");
  }
  void TearDown() override { logtest::UnsetEnv("ZEVO_TRUST_STORE"); }

  static std::u16string PathOf(const char* name) { return dir_->At(name); }
  static void UseTrustStore(const char* name) {
    logtest::SetEnv("ZEVO_TRUST_STORE", (dir_->path() / name).string().c_str());
  }

  static std::unique_ptr<TempFolder> dir_;
  const SwitchForced on_{true};
};

std::unique_ptr<TempFolder> PosixSignatureTest::dir_;

using Reported = std::vector<std::pair<std::u16string, std::u16string>>;

std::int32_t Record(const char16_t* path, const char16_t* signer, void* userData) {
  static_cast<Reported*>(userData)->emplace_back(path, signer);
  return 0;
}

std::int32_t VerifyByPath(const std::u16string& path) {
  std::int32_t error = 0;
  const os::TrustFile file = os::TrustFile::Open(path, error);
  EXPECT_TRUE(file.IsOpen()) << error;
  return os::VerifyFileTrust(path, file).status;
}

TEST_F(PosixSignatureTest, SignedFilePassesAndNamesItsSigner) {
  const std::u16string path = PathOf("signed.dll");
  const char16_t* paths[] = {path.c_str(), path.c_str()};
  Reported reported;
  EXPECT_TRUE(CheckFilesSignature(paths, 2, &Record, &reported));
  EXPECT_EQ(reported, (Reported{{path, kSignerName}, {path, kSignerName}}));

  bool isSigned = false;
  std::vector<char16_t> buffer(8, u'#');
  EXPECT_EQ(CheckFileSignature(path.c_str(), buffer.data(), 8, &isSigned), 16);
  EXPECT_TRUE(isSigned);
  EXPECT_EQ(std::u16string(buffer.data()), u"Zevo Te");

  // A trust store given as a hashed folder works as well as a file.
  const TempFolder folder;
  std::filesystem::copy_file(dir_->path() / "ca.pem", folder.path() / "ca.pem");
  ASSERT_TRUE(OpenSsl(folder, "rehash ."));
  logtest::SetEnv("ZEVO_TRUST_STORE", folder.path().string().c_str());
  EXPECT_EQ(VerifyByPath(path), os::kTrustOk);
}

TEST_F(PosixSignatureTest, UnsignedFileIsRefusedAndLogged) {
  const UtilLog log;
  const std::u16string path = PathOf("unsigned.dll");
  const char16_t* paths[] = {path.c_str()};
  EXPECT_FALSE(CheckFilesSignature(paths, 1, nullptr, nullptr));

  bool isSigned = true;
  char16_t buffer[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(CheckFileSignature(path.c_str(), buffer, 4, &isSigned), 0);
  EXPECT_FALSE(isSigned);
  EXPECT_EQ(std::u16string(buffer, 4), std::u16string(4, u'\0'));

  // Batch: refusal with the call's last recorded error (none yet), then the
  // empty catalog lookup's error. Single file: the refusal by status.
  EXPECT_EQ(log.Texts(),
            (std::vector<std::u16string>{u" This file isn't signed! 0", u"0x2",
                                         u"Unsigned file! file=" + path + u", dwLastErr=0x800b0100", u"0x2"}));
  EXPECT_EQ(log.Lines()[0].level, 3);
}

TEST_F(PosixSignatureTest, TamperedUntrustedAndMisusedSignaturesAreRefused) {
  const std::u16string good = PathOf("signed.dll");
  const std::u16string tampered = PathOf("tampered.dll");
  const std::u16string bad = PathOf("unsigned.dll");
  EXPECT_EQ(VerifyByPath(tampered), os::kTrustBadDigest);
  EXPECT_EQ(VerifyByPath(PathOf("server.dll")), os::kTrustWrongUsage);

  const UtilLog log;
  bool isSigned = true;
  EXPECT_EQ(CheckFileSignature(tampered.c_str(), nullptr, 0, &isSigned), 0);
  EXPECT_FALSE(isSigned);
  EXPECT_EQ(log.Texts().at(0), u"Unsigned file! file=" + tampered + u", lStatus=0x80096010");

  // One bad file spoils the list; the good ones are still examined and
  // reported.
  const char16_t* paths[] = {good.c_str(), tampered.c_str(), nullptr, bad.c_str()};
  Reported reported;
  EXPECT_FALSE(CheckFilesSignature(paths, 4, &Record, &reported));
  EXPECT_EQ(reported, (Reported{{good, kSignerName}}));

  // Signed under a CA the store does not hold: no chain.
  UseTrustStore("other.pem");
  EXPECT_EQ(VerifyByPath(good), os::kTrustNoChain);
  UseTrustStore("no-such.pem");
  EXPECT_EQ(VerifyByPath(good), os::kTrustSystemError);
}

TEST_F(PosixSignatureTest, ContextRecordsVerdictAndSignerPerPath) {
  FileSignContext ctx;
  const std::u16string good = PathOf("signed.dll");
  const std::u16string bad = PathOf("unsigned.dll");
  AddFileToSignContext(&ctx, bad.c_str());
  EXPECT_EQ(AddFileToSignContext(&ctx, good.c_str()), 2);

  // Path order: signed.dll sorts before unsigned.dll. Every path is checked,
  // but no more results written than asked for.
  std::uint8_t results[3] = {7, 7, 7};
  EXPECT_EQ(VerifySignContext(&ctx, results, 1), 2);
  EXPECT_EQ(std::vector<std::uint8_t>(results, results + 3), (std::vector<std::uint8_t>{1, 7, 7}));
  EXPECT_EQ(ctx.files[good].signer, kSignerName);
  EXPECT_FALSE(ctx.files[bad].isSigned);
}

#endif

}  // namespace
}  // namespace zevo::util
