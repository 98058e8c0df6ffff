#include "log/logging.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../log/log_test_support.h"
#include "log/log_api.h"

namespace zevo::logging {
namespace {

using logtest::Configure;
using logtest::LineCapture;

constexpr Site kLog{u"Plugin TARSK", u"tarsk_implementation"};

// A piece that counts how often it is turned into text.
struct CountingPiece {
  int* count;
};
void AppendPiece(std::u16string& out, const CountingPiece& piece) {
  ++*piece.count;
  out += u"counted";
}

TEST(Logging, LevelRule) {
  LineCapture capture;
  Configure("Plugin TARSK=3;Util COMMON=0;Level One=1");
  ZLOG(kLog, kLevelEntryExit, u"2 under 3: off");
  ZLOG(kLog, kLevelInfo, u"3 under 3: on");
  ZLOG(kLog, 0, u"0 under 3: off");
  ZLOG((Site{u"Util COMMON", u"u"}), kLevelSevere, u"module off");
  ZLOG((Site{u"Unlisted", u"u"}), kLevelSevere, u"module absent");
  ZLOG((Site{u"Level One", u"u"}), kLevelTiming, u"1 under 1: on");
  EXPECT_EQ(capture.Texts(), (std::vector<std::u16string>{u"3 under 3: on", u"1 under 1: on"}));
  EXPECT_EQ(capture.Lines()[0].level, 3);  // the number hosts configure
}

// The text is built only for a line that is written; the flush gets the site,
// the line and the text's length in bytes.
TEST(Logging, TextIsBuiltOnlyWhenWrittenAndFlushedWithItsSite) {
  LineCapture capture;
  Configure("Plugin TARSK=5");
  int built = 0;
  ZLOG(kLog, kLevelInfo, CountingPiece{&built});
  EXPECT_EQ(built, 0);
  const int line = __LINE__ + 1;
  ZLOG(kLog, kLevelFailure, u"x=", CountingPiece{&built}, u' ', -1);
  EXPECT_EQ(built, 1);
  const std::vector<logtest::CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, u"x=counted 0xffffffff");
  EXPECT_EQ(lines[0].text_bytes, lines[0].text.size() * 2);
  EXPECT_EQ(lines[0].module, u"Plugin TARSK");
  EXPECT_EQ(lines[0].file, u"tarsk_implementation");
  EXPECT_EQ(lines[0].line, line);
}

TEST(Logging, EntryAndExitLines) {
  LineCapture capture;
  Configure("Plugin TARSK=2");
  ZLOG_ENTER(kLog, u"CEngineTARSK::StartScan", u"tkc = ", 5);
  ZLOG_EXIT(kLog, u"Plugin_Interface_OnNotify", u"asStatus: ", 0x200c0000);
  {
    const ScopedEntryExit scope(kLog, __LINE__, u"CEngineTARSK::SendCleanResult");
    ZLOG(kLog, kLevelInfo, u"inside");
  }
  EXPECT_EQ(capture.Texts(),
            (std::vector<std::u16string>{
                u"==> CEngineTARSK::StartScan,tkc = 0x5", u"<== Plugin_Interface_OnNotify,asStatus: 0x200c0000",
                u"==> CEngineTARSK::SendCleanResult,", u"inside", u"<== CEngineTARSK::SendCleanResult,"}));
  EXPECT_EQ(capture.Lines()[4].level, kLevelEntryExit);
}

// A host whose library has no handle to give.
TEST(Logging, NoHandleNoLines) {
  static int calls = 0;  // level queries and flushes
  static const LogApi kNoHandle{
      []() noexcept -> void* { return nullptr; },
      [](void*, const char16_t*) noexcept -> int32_t {
        ++calls;
        return 1;
      },
      [](void*, const char16_t*, int32_t, const char16_t*, int32_t, const char16_t*, uint32_t) noexcept { ++calls; }};
  SetLogApiForTesting(&kNoHandle);
  ZLOG(kLog, kLevelSevere, u"nowhere");
  ZLOG_ENTER(kLog, u"X");
  SetLogApiForTesting(nullptr);
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace zevo::logging
