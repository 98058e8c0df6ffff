// Version resources: a minimal PE image read whole, cut short and lying
// about its sizes; the module's own DLL read by the system and by the PE
// reader.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "os/file_version.h"
#include "util/file_ops.h"

namespace zevo::os {
namespace {

void Put(std::vector<std::uint8_t>& image, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A PE32+ file with one section holding the resource tree RT_VERSION / 1 /
// 0x409 and a VS_VERSIONINFO of version 2.1.0.1248.
std::vector<std::uint8_t> MinimalPe() {
  constexpr std::size_t kRaw = 0x200;
  constexpr std::size_t kRsrcSize = 180;
  std::vector<std::uint8_t> image(kRaw + kRsrcSize, 0);
  Put(image, 0, 0x5a4d, 2);
  Put(image, 0x3c, 0x40, 4);
  Put(image, 0x40, 0x4550, 4);
  Put(image, 0x46, 1, 2);         // one section
  Put(image, 0x54, 0xf0, 2);      // optional header size
  Put(image, 0x58, 0x20b, 2);     // PE32+
  Put(image, 0x58 + 108, 16, 4);  // data directories
  Put(image, 0x58 + 128, 0x1000, 4);
  Put(image, 0x58 + 132, kRsrcSize, 4);
  const std::size_t section = 0x58 + 0xf0;
  Put(image, section + 8, kRsrcSize, 4);
  Put(image, section + 12, 0x1000, 4);
  Put(image, section + 16, kRsrcSize, 4);
  Put(image, section + 20, kRaw, 4);
  const std::size_t r = kRaw;
  const std::uint32_t entries[][3] = {{0, 16, 0x80000018u}, {24, 1, 0x80000030u}, {48, 0x409, 72}};
  for (const auto& e : entries) {
    Put(image, r + e[0] + 14, 1, 2);
    Put(image, r + e[0] + 16, e[1], 4);
    Put(image, r + e[0] + 20, e[2], 4);
  }
  Put(image, r + 72, 0x1000 + 88, 4);
  Put(image, r + 76, 92, 4);
  Put(image, r + 88, 92, 2);
  Put(image, r + 90, 52, 2);
  const std::u16string key = u"VS_VERSION_INFO";
  for (std::size_t i = 0; i < key.size(); ++i) Put(image, r + 94 + 2 * i, key[i], 2);
  Put(image, r + 128, 0xfeef04bdu, 4);
  Put(image, r + 136, 0x00020001u, 4);
  Put(image, r + 140, 1248, 4);
  return image;
}

TEST(PeVersion, ReadsTheFixedBlockAndRefusesCutOrLyingImages) {
  std::vector<std::uint8_t> image = MinimalPe();
  FixedVersion version;
  ASSERT_TRUE(ParsePeFixedVersion(image.data(), image.size(), version));
  EXPECT_EQ(version.mostSignificant, 0x00020001u);
  EXPECT_EQ(version.leastSignificant, 1248u);
  for (std::size_t size = 0; size < image.size(); ++size) {
    ASSERT_FALSE(ParsePeFixedVersion(image.data(), size, version)) << size;
  }
  const struct {
    std::size_t at;
    std::uint32_t value;
    int bytes;
  } lies[] = {{0x3c, 0xfffffff0u, 4},       {0x46, 0xffff, 2},       {0x58 + 132 - 4, 0x7fffffff, 4},
              {0x200 + 76, 0xffffffffu, 4}, {0x200 + 88, 0xffff, 2}, {0x200 + 20, 0x80000000u, 4},
              {0x200 + 44, 0x80000018u, 4}, {0x200 + 122, 0, 2},     {0x200 + 128, 0, 4}};
  for (const auto& lie : lies) {
    std::vector<std::uint8_t> bad = image;
    Put(bad, lie.at, lie.value, lie.bytes);
    EXPECT_FALSE(ParsePeFixedVersion(bad.data(), bad.size(), version)) << std::hex << lie.at;
  }
#if !defined(_WIN32)
  // As a file: major.minor.build, each part 16 bits.
  Put(image, 0x200 + 136, 0xFFFF0001u, 4);
  Put(image, 0x200 + 140, 0x1234FFFFu, 4);
  filestest::TempFolder folder;
  folder.Write("v.dll", std::string(image.begin(), image.end()));
  std::u16string text;
  ASSERT_TRUE(util::GetFileVersionString(folder.At("v.dll").c_str(), text));
  EXPECT_EQ(text, u"65535.1.65535");
#endif
}

// The module built for Windows reads "2.1.1248": through the system under
// Windows, through the PE reader on POSIX when a Windows build is at hand.
TEST(PeVersion, TheWindowsModuleReadsItsVersion) {
#if defined(_WIN32)
  const std::u16string module = util::GetModuleDirectory(nullptr) + u"plugEngineTARSK.dll";
#else
  const std::u16string module = std::filesystem::path(ZEVO_WINDOWS_MODULE).u16string();
  if (!std::filesystem::exists(ZEVO_WINDOWS_MODULE)) GTEST_SKIP() << "no Windows build at " << ZEVO_WINDOWS_MODULE;
#endif
  std::u16string text;
  ASSERT_TRUE(util::GetFileVersionString(module.c_str(), text));
  EXPECT_EQ(text, u"2.1.1248");
}

}  // namespace
}  // namespace zevo::os
