#include "util/reg_key.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "env_test_support.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace zevo::util {
namespace {

using os::kKeyAllAccess;
using os::kKeyRead;
using os::kRegSuccess;
constexpr RegistryRoot kHklm = RegistryRoot::kLocalMachine;

class RegKeyTest : public envtest::RegistrySandbox {
 protected:
  RegKey CreateBase(std::u16string_view below = u"", std::uint32_t* disposition = nullptr) {
    RegKey key;
    const std::u16string path = below.empty() ? base_ : base_ + u"\\" + std::u16string(below);
    EXPECT_EQ(key.Create(kHklm, path, u"", 0, kKeyAllAccess, nullptr, disposition), kRegSuccess);
    return key;
  }
};

TEST_F(RegKeyTest, TypedValuesRoundTrip) {
  std::uint32_t disposition = 0;
  RegKey key = CreateBase(u"", &disposition);
  EXPECT_EQ(disposition, os::kRegCreatedNewKey);
  CreateBase(u"", &disposition);
  EXPECT_EQ(disposition, os::kRegOpenedExistingKey);

  EXPECT_EQ(key.SetString(u"h\u00e9llo \U0001F600", u"S"), kRegSuccess);
  EXPECT_EQ(key.SetString(u"default", u""), kRegSuccess);
  EXPECT_EQ(key.SetDWORD(0xdeadbeefu, u"D"), kRegSuccess);
  EXPECT_EQ(key.SetDWORD(7, u"d"), kRegSuccess);                         // names ignore case
  EXPECT_EQ(key.SetBinary(u"abc", u"Raw", os::kRegSz, 6), kRegSuccess);  // no terminator
  EXPECT_EQ(key.SetBinary(u"ab\0cd", u"Cut", os::kRegSz, 10), kRegSuccess);
  EXPECT_EQ(RegKey::WriteQWORD(kHklm, base_, 0x0123456789abcdefull, u"Q"), kRegSuccess);
  EXPECT_TRUE(RegKey::WriteDWORDToHKLM(43, base_ + u"\\w", u"D2"));

  const std::pair<const char16_t*, std::u16string> strings[] = {
      {u"S", u"h\u00e9llo \U0001F600"}, {u"", u"default"}, {u"Raw", u"abc"}, {u"Cut", u"ab"}};
  std::u16string text;
  for (const auto& [name, expected] : strings) {
    EXPECT_EQ(key.QueryString(name, text), kRegSuccess);
    EXPECT_EQ(text, expected);
  }
  std::uint32_t dword = 0;
  std::uint64_t qword = 0;
  EXPECT_TRUE(RegKey::ReadDWORD(base_, u"D", dword));
  EXPECT_EQ(dword, 7u);
  EXPECT_EQ(key.QueryQWORD(qword, u"Q"), kRegSuccess);
  EXPECT_EQ(qword, 0x0123456789abcdefull);
  EXPECT_TRUE(RegKey::ReadDWORD(base_ + u"\\w", u"D2", dword));
  EXPECT_EQ(dword, 43u);

  // Wrong type, missing value or key: outputs stay.
  EXPECT_EQ(key.QueryDWORD(dword, u"S"), os::kRegInvalidData);
  EXPECT_EQ(key.QueryDWORD(dword, u"Q"), os::kRegInvalidData);
  EXPECT_EQ(key.QueryQWORD(qword, u"D"), os::kRegInvalidData);
  EXPECT_EQ(key.QueryString(u"missing", text), os::kRegFileNotFound);
  EXPECT_FALSE(RegKey::ReadDWORD(base_ + u"\\nokey", u"D", dword));
  EXPECT_FALSE(RegKey::ReadDWORD(base_, u"S", dword));
  EXPECT_FALSE(RegKey::ReadString(base_, u"nope", text));
  EXPECT_EQ(dword, 43u);
  EXPECT_EQ(text, u"ab");
}

TEST_F(RegKeyTest, QueryBinarySizes) {
  RegKey key = CreateBase();
  const unsigned char bytes[5] = {1, 2, 0, 4, 5};
  ASSERT_EQ(key.SetBinary(bytes, u"B", os::kRegBinary, 5), kRegSuccess);
  ASSERT_EQ(key.SetBinary(nullptr, u"Zero", os::kRegBinary, 0), kRegSuccess);
  const struct {
    const char16_t* name;
    bool withBuffer;
    std::uint32_t length;
    std::int32_t status;
    std::uint32_t lengthAfter;
  } cases[] = {{u"B", true, 0, kRegSuccess, 5},
               {u"B", true, 3, os::kRegNotEnoughMemory, 5},
               {u"B", false, 8, os::kRegInvalidParameter, 8},
               {u"nothing", true, 8, os::kRegFileNotFound, 8},
               {u"Zero", true, 8, kRegSuccess, 0},
               {u"B", true, 8, kRegSuccess, 5}};
  unsigned char out[8] = {};
  for (const auto& c : cases) {
    std::uint32_t length = c.length;
    EXPECT_EQ(key.QueryBinary(c.name, c.withBuffer ? out : nullptr, length), c.status);
    EXPECT_EQ(length, c.lengthAfter);
  }
  EXPECT_EQ(std::memcmp(out, bytes, 5), 0);
}

TEST_F(RegKeyTest, OpenAccessAndClose) {
  RegKey key;
  std::u16string text = u"kept";
  EXPECT_EQ(key.QueryString(u"x", text), os::kRegInvalidHandle);
  EXPECT_EQ(key.SetDWORD(1, u"x"), os::kRegInvalidHandle);
  EXPECT_EQ(key.DeleteKeyTree(u"x"), os::kRegInvalidHandle);
  EXPECT_EQ(text, u"kept");

  ASSERT_EQ(CreateBase().SetString(u"v", u"S"), kRegSuccess);
  EXPECT_EQ(key.Open(kHklm, base_ + u"\\missing", kKeyRead), os::kRegFileNotFound);
  EXPECT_FALSE(key.IsOpen());
  // Read-only: reads work, writes are refused and change nothing.
  ASSERT_EQ(key.Open(kHklm, base_, kKeyRead), kRegSuccess);
  EXPECT_EQ(key.SetString(u"changed", u"S"), os::kRegAccessDenied);
  EXPECT_EQ(key.QueryString(u"S", text), kRegSuccess);
  EXPECT_EQ(text, u"v");

  // A failed open keeps the key held; key names ignore case.
  EXPECT_EQ(key.Open(kHklm, base_ + u"\\missing", kKeyAllAccess), os::kRegFileNotFound);
  EXPECT_TRUE(key.IsOpen());
  std::u16string lower = base_;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; });
  ASSERT_EQ(key.Open(kHklm, lower, kKeyAllAccess), kRegSuccess);
  EXPECT_EQ(key.SetString(u"changed", u"s"), kRegSuccess);
  key.Close();
  key.Close();
  EXPECT_FALSE(key.IsOpen());
  EXPECT_TRUE(RegKey::ReadString(base_, u"S", text));
  EXPECT_EQ(text, u"changed");
}

TEST_F(RegKeyTest, DeleteKeyTreeDepthFirst) {
  CreateBase(u"a\\b\\c").SetDWORD(1, u"v");
  CreateBase(u"a\\b").SetString(u"x", u"v");
  CreateBase(u"a\\e\\f\\g\\h");
  CreateBase(u"z").SetDWORD(2, u"v");
  RegKey key = CreateBase();
  EXPECT_EQ(key.DeleteKeyTree(u"missing"), os::kRegFileNotFound);
  EXPECT_EQ(key.DeleteKeyTree(u"A"), kRegSuccess);
  RegKey probe;
  EXPECT_EQ(probe.Open(kHklm, base_ + u"\\a", kKeyRead), os::kRegFileNotFound);
  EXPECT_EQ(probe.Open(kHklm, base_ + u"\\z", kKeyRead), kRegSuccess);
}

#if !defined(_WIN32)
namespace fs = std::filesystem;

// The folder tree itself: escaped names, little-endian type first, and sub
// key paths that cannot leave the registry's folder.
TEST_F(RegKeyTest, PosixTreeLayoutAndPathChecks) {
  RegKey key = CreateBase(u"=Odd%Name");
  ASSERT_EQ(key.SetBinary("\x08\x07", u"a/b", 0x01020304, 2), kRegSuccess);
  const fs::path folder = fs::path("HKEY_LOCAL_MACHINE") / "SOFTWARE" / "ZevoTests" / guid_ / "%3DOdd%25Name";
  EXPECT_EQ(Read(folder / "=a%2Fb"), "\x04\x03\x02\x01\x08\x07");
  // A value that cannot replace what is in its place leaves no temporary.
  fs::create_directory(root_ / folder / "=V");
  EXPECT_EQ(key.SetDWORD(1, u"V"), os::kRegIoFailed);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / folder), fs::directory_iterator()), 2);
  fs::remove(root_ / folder / "=V");
  os::RegistryKey parent;
  ASSERT_EQ(os::RegistryKey::Open(os::RegistryKey::Predefined(kHklm), base_, kKeyRead, parent), kRegSuccess);
  std::u16string child;
  EXPECT_EQ(parent.EnumKey(0, child), kRegSuccess);
  EXPECT_EQ(child, u"=Odd%Name");
  EXPECT_EQ(parent.EnumKey(1, child), os::kRegNoMoreItems);
  // A key deleted under an open handle says so.
  os::RegistryKey gone;
  ASSERT_EQ(os::RegistryKey::Open(parent, u"=odd%name", kKeyRead, gone), kRegSuccess);
  std::uint32_t type = 0;
  EXPECT_EQ(gone.QueryValue(u"A/B", &type, nullptr, nullptr), kRegSuccess);
  EXPECT_EQ(type, 0x01020304u);
  ASSERT_EQ(CreateBase().DeleteKeyTree(u"=Odd%Name"), kRegSuccess);
  EXPECT_EQ(gone.EnumKey(0, child), os::kRegKeyDeleted);

  for (std::u16string bad : {base_ + u"\\..\\..\\..\\..\\escape", base_ + u"\\a\\\\b", base_ + u"\\", u"\\" + base_,
                             base_ + u"\\a/../../b"}) {
    RegKey other;
    EXPECT_EQ(other.Create(kHklm, bad, u"", 0, kKeyAllAccess, nullptr, nullptr), os::kRegInvalidParameter)
        << os::Utf16ToUtf8(bad);
    EXPECT_EQ(other.Open(kHklm, bad, kKeyRead), os::kRegInvalidParameter);
  }
  EXPECT_EQ(key.DeleteKeyTree(u".."), os::kRegInvalidParameter);
  EXPECT_EQ(Count(), 1u);

  const envtest::ScopedEnv elsewhere("ZEVO_REGISTRY_ROOT", (root_ / "absent").string().c_str());
  RegKey other;
  EXPECT_EQ(other.Open(kHklm, u"SOFTWARE", kKeyRead), os::kRegFileNotFound);
}

TEST_F(RegKeyTest, PosixFolderPermissions) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  CreateBase(u"ro");
  const fs::path folder = root_ / "HKEY_LOCAL_MACHINE" / "SOFTWARE" / "ZevoTests" / guid_ / "ro";
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  RegKey key;
  EXPECT_EQ(key.Open(kHklm, base_ + u"\\ro", kKeyAllAccess), os::kRegAccessDenied);
  EXPECT_EQ(key.Open(kHklm, base_ + u"\\ro", kKeyRead), kRegSuccess);
  fs::permissions(folder, fs::perms::owner_all);
}
#endif

}  // namespace
}  // namespace zevo::util
