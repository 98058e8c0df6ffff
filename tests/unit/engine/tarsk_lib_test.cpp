// TarskLib against the reference engine and stand-ins. The signature suite
// checks that an unsigned engine is refused.
#include "engine/tarsk_lib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../log/log_test_support.h"
#include "util/self_protection.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zevo::engine {
namespace {

std::u16string Wide(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

const std::u16string kRoot = Wide(TARSK_TEST_ENGINE_ROOT);
const std::u16string kSep = Wide(TARSK_TEST_SEP);
const std::u16string kGood = kRoot + Wide(TARSK_TEST_ENGINE_VERSION) + kSep;
const std::u16string kMissing3 = kRoot + u"missing-3" + kSep;
// Stand-ins that nothing pins in memory (the reference engine stays mapped
// after its release on POSIX), so unloading shows.
const std::u16string kStubComplete = Wide(TARSK_TEST_STUB_ROOT) + u"complete" + kSep;
const std::u16string kStubMissing = Wide(TARSK_TEST_STUB_ROOT) + u"missing" + kSep;

// Whether the library at `folder` + tarsk64.dll is loaded in this process.
bool IsMapped(const std::u16string& folder) {
  const std::u16string path = folder + u"tarsk64.dll";
#ifdef _WIN32
  return GetModuleHandleW(reinterpret_cast<const wchar_t*>(path.c_str())) != nullptr;
#else
  const std::string narrow(path.begin(), path.end());
  void* handle = dlopen(narrow.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
#endif
}

// The loader's lines, with the signature check off.
class TarskLibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    logtest::Configure("Plugin TARSK=1");
    util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckOff);
  }
  void TearDown() override {
    util::SetModuleLoadCheckCacheForTesting(util::kModuleLoadCheckUnknown);
    logtest::Configure(nullptr);
  }

  std::vector<std::u16string> Lines() const {
    std::vector<std::u16string> texts;
    for (const auto& line : capture_.Lines()) {
      if (line.module != u"Plugin TARSK") continue;
      EXPECT_EQ(line.file, u"TarskLib");
      EXPECT_EQ(line.level, 5);
      texts.push_back(line.text);
    }
    return texts;
  }

  logtest::LineCapture capture_;
};

TEST_F(TarskLibTest, CompleteEngineIsBoundAndReleasedAFolderNeedsItsSeparator) {
  TarskLib lib;
  const std::u16string folder = kRoot + Wide(TARSK_TEST_ENGINE_VERSION);
  EXPECT_FALSE(lib.Initialize(folder));
  EXPECT_FALSE(lib.IsReady());
  EXPECT_FALSE(lib.Uninitialize());
  const std::vector<std::u16string> lines = Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], u"TarskLib::Initialize() failed. path = " + folder + u"tarsk64.dll");
  EXPECT_TRUE(lines[1].starts_with(u"error = failed with error ")) << lines[1].size();
  ASSERT_TRUE(lib.Initialize(kGood));
  EXPECT_TRUE(lib.IsReady());
  const auto* slots = reinterpret_cast<void* const*>(&lib.Functions());
  for (std::size_t i = 0; i < kTkFunctionCount; ++i) EXPECT_NE(slots[i], nullptr) << kTkFunctionNames[i];
  char16_t version[kPropertyCapacity] = {};
  EXPECT_EQ(lib.Functions().TKGetEngineProperty(kPropertyVersion, version, kPropertyCapacity), 0);
  EXPECT_EQ(std::u16string(version), Wide(TARSK_TEST_ENGINE_VERSION));

  EXPECT_TRUE(lib.Uninitialize());
  EXPECT_FALSE(lib.IsReady());
  EXPECT_FALSE(lib.Uninitialize());  // nothing left to release, nothing logged
  EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(TarskLibTest, EveryMissingEntryPointIsLoggedInTableOrder) {
  TarskLib lib;
  EXPECT_FALSE(lib.Initialize(kMissing3));
  EXPECT_NE(lib.Functions().TKInit, nullptr);  // what was found stays bound
  EXPECT_EQ(Lines(),
            (std::vector<std::u16string>{u"TarskLib::getFunctionAddress(TKScanEx) failed.",
                                         u"TarskLib::getFunctionAddress(TKSaveBlacklist) failed.",
                                         u"TarskLib::getFunctionAddress(TKGetItemIndexByCompanyName) failed."}));
  EXPECT_TRUE(lib.Uninitialize());  // it stayed loaded
}

TEST_F(TarskLibTest, AnEarlierReferenceIsReleasedByReinitializeAndByTheDestructor) {
  {
    TarskLib lib;
    EXPECT_FALSE(lib.Initialize(kStubMissing));
    ASSERT_TRUE(IsMapped(kStubMissing));
    EXPECT_TRUE(lib.Initialize(kStubComplete));
    EXPECT_FALSE(IsMapped(kStubMissing));
    EXPECT_TRUE(lib.Uninitialize());
    EXPECT_FALSE(IsMapped(kStubComplete));
    EXPECT_FALSE(lib.Initialize(kStubMissing));
    ASSERT_TRUE(IsMapped(kStubMissing));
  }
  EXPECT_FALSE(IsMapped(kStubMissing));
  EXPECT_EQ(Lines(),
            std::vector<std::u16string>(2, u"TarskLib::getFunctionAddress(TKGetItemIndexByCompanyName) failed."));
}

TEST(TarskLibInProcessTest, ReadyOnlyWithEveryEntrySet) {
  TkFunctionTable table{};
  TarskLib partial(table);
  EXPECT_FALSE(partial.Initialize(u"ignored/"));

  auto* slots = reinterpret_cast<void**>(&table);
  for (std::size_t i = 0; i < kTkFunctionCount; ++i) slots[i] = reinterpret_cast<void*>(&IsMapped);
  TarskLib complete(table);
  EXPECT_TRUE(complete.Initialize(u""));
  EXPECT_FALSE(complete.Uninitialize());  // nothing was loaded
  EXPECT_FALSE(complete.IsReady());
}

}  // namespace
}  // namespace zevo::engine
