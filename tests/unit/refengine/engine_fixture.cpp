#include "engine_fixture.h"

#include <atomic>
#include <map>

#include "os/text.h"
#include "samples.h"

namespace tarsk::test {

namespace {

std::mutex g_eventsMutex;
std::map<std::int32_t, std::vector<Event>> g_events;  // by session

std::int32_t Record(std::int32_t h, std::int32_t event, std::int32_t c, std::int32_t d, void* data) {
  Event e{event, c, d, {}};
  if (event == zevo::kEventItemFound && data != nullptr) e.item = *static_cast<TKC_ITEM*>(data);
  std::lock_guard lock(g_eventsMutex);
  g_events[h].push_back(e);
  return 0;
}

// Read-only files (a test makes some) must be made writable first on Windows.
void RemoveTree(const std::filesystem::path& dir) {
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
  }
  std::filesystem::remove_all(dir, ec);
}

}  // namespace

std::u16string EngineFolder(const char* name) {
  return zevo::os::Utf8ToUtf16(std::string(TARSK_TEST_ENGINE_ROOT) + name + TARSK_TEST_SEP);
}

const zevo::TkFunctionTable& Tk() {
  static const zevo::os::DynamicLibrary library =
      zevo::os::DynamicLibrary::Load(EngineFolder(TARSK_TEST_ENGINE_VERSION) + u"tarsk64.dll");
  static const zevo::TkFunctionTable table = [] {
    zevo::TkFunctionTable t;
#define TARSK_BIND(name) t.name = reinterpret_cast<zevo::PFN_##name>(library.Symbol(#name));
    ZEVO_TK_FUNCTIONS(TARSK_BIND)
#undef TARSK_BIND
    if (t.TKSetOption != nullptr) {
      t.TKSetOption(0, zevo::kOptionEngineFolder, EngineFolder(TARSK_TEST_ENGINE_VERSION).c_str());
    }
    return t;
  }();
  return table;
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::u16string U16(const std::filesystem::path& path) { return zevo::os::Utf8ToUtf16(PathText(path)); }

void EngineTest::SetUp() {
  ASSERT_NE(Tk().TKInit, nullptr) << "engine not loaded";
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ =
      std::filesystem::temp_directory_path() / ("tarsk-" + std::string(info->name()) + "-" + std::to_string(++counter));
  RemoveTree(dir_);
  root_ = dir_ / "root";
  std::filesystem::create_directories(root_);
  SetEnv("TARSK_SCAN_ROOTS", PathText(root_).c_str());
  ASSERT_EQ(Tk().TKInit(u"{tests}", zevo::kTkInitVersion, &h_), 0);
  ASSERT_EQ(Tk().TKReadSpywarePattern(h_, 0, 0, 0), 0);
  ASSERT_EQ(Tk().TKSetCallbackFunc(h_, &Record), 0);
}

void EngineTest::TearDown() {
  if (h_ != 0) {
    EXPECT_EQ(Tk().TKQuit(h_), 0);
  }
  RemoveTree(dir_);
}

void EngineTest::WriteSamples() { samples::WriteSampleTree(root_); }

std::int32_t EngineTest::ScanAll() {
  EXPECT_EQ(Tk().TKEnableScanner(h_, zevo::kDefaultScanners, 1), 0);
  return Tk().TKScan(h_, u"");
}

std::vector<TKC_ITEM> EngineTest::Items() {
  std::int32_t count = -1;
  EXPECT_EQ(Tk().TKGetItemCount(h_, &count), 0);
  std::vector<TKC_ITEM> items(count > 0 ? count : 0);
  for (std::size_t i = 0; i < items.size(); ++i) {
    items[i].size = ZEVO_TKC_ITEM_SIZE;
    EXPECT_EQ(Tk().TKGetItem(h_, static_cast<std::uint32_t>(i), &items[i]), 0);
  }
  return items;
}

std::vector<Event> EngineTest::Events() {
  std::lock_guard lock(g_eventsMutex);
  return g_events[h_];
}

}  // namespace tarsk::test
