#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "log_test_support.h"
#include "zevo/log.h"

namespace zevo::logtest {
namespace {

namespace fs = std::filesystem;

// A fresh file name in the temporary folder, removed again at the end.
class TempFile {
 public:
  explicit TempFile(const char* name)
      : path_(fs::temp_directory_path() /
              (std::string("zevo_log_") + name + "_" + std::to_string(std::random_device{}()) + ".log")) {
    fs::remove(path_);
  }
  ~TempFile() {
    Configure(nullptr);  // closes the file before it is removed
    std::error_code ignored;
    fs::remove(path_, ignored);
  }
  std::string path() const { return path_.string(); }

  std::vector<std::string> Lines() const {
    std::ifstream in(path_, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  fs::path path_;
};

void Flush(const char16_t* module, int32_t level, const char16_t* file, int32_t line, std::u16string_view text) {
  Log_Flush(Log_GetDefaultHandle(), module, level, file, line, text.data(), static_cast<uint32_t>(text.size() * 2));
}

// The file cannot be opened: the output falls back, the hook keeps every line.
TEST(LogOutput, RecordCarriesExactArgumentsAndLayout) {
  Configure("Plugin TARSK=5", "/nonexistent-folder/zevo/x.log");
  LineCapture capture;
  const auto today = [] {  // local time, as the stamp
    const std::time_t now = std::time(nullptr);
    char day[16];
    return std::string(day, std::strftime(day, sizeof day, "%Y-%m-%d", std::localtime(&now)));
  };
  const std::string day = today();
  // Not terminated: the library must stop after textBytes.
  const char16_t buffer[] = {u'O', u'k', u' ', u'1', u'X', u'X'};
  Log_Flush(Log_GetDefaultHandle(), u"Plugin TARSK", 5, u"tarsk_implementation", 1564, buffer, 8);
  Log_Flush(Log_GetDefaultHandle(), u"Plugin TARSK", 3, nullptr, -1, buffer,
            5);  // odd byte count: the last half unit is dropped
  Flush(u"", 7, u"f", 0, u"a\nb\rc");
  // Log_Flush does not filter: the caller applies the level rule.
  Flush(u"Not Configured", 1, u"f", 0, u"");

  const std::vector<CapturedLine> lines = capture.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].module, u"Plugin TARSK");
  EXPECT_EQ(lines[0].text_pointer, buffer);
  EXPECT_EQ(lines[0].text_bytes, 8u);
  EXPECT_EQ(lines[0].text, u"Ok 1");
  EXPECT_EQ(AfterStamp(lines[0].utf8), "[Plugin TARSK] 5 tarsk_implementation:1564 Ok 1");
  if (day == today()) {  // not across midnight
    EXPECT_EQ(lines[0].utf8.substr(0, day.size()), day);
  }

  EXPECT_EQ(lines[1].text_bytes, 5u);
  EXPECT_THAT(lines[1].utf8, testing::EndsWith("[Plugin TARSK] 3 :-1 Ok"));

  EXPECT_THAT(lines[2].utf8, testing::EndsWith(R"([] 7 f:0 a\nb\rc)"));
  EXPECT_THAT(lines[3].utf8, testing::EndsWith("[Not Configured] 1 f:0 "));
}

TEST(LogOutput, FileGetsUtf8AndIsAppended) {
  TempFile file("utf8");
  { std::ofstream(file.path(), std::ios::binary) << "earlier line\n"; }
  Configure("M=1", file.path().c_str());
  // e-acute, euro sign, U+1F600 as a surrogate pair, then a lone high and a
  // lone low surrogate.
  const std::u16string text = u"\u00e9\u20ac \xD83D\xDE00 \xD800x \xDC00";
  Flush(u"M\u00fc", 3, u"src", 12, text);
  Log_Reload();  // reopening must append, not truncate
  Flush(u"M", 3, u"src", 13, u"second");

  const std::vector<std::string> lines = file.Lines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "earlier line");
  EXPECT_THAT(lines[1], testing::EndsWith("[M\xc3\xbc] 3 src:12 \xc3\xa9\xe2\x82\xac "
                                          "\xf0\x9f\x98\x80 \xef\xbf\xbdx \xef\xbf\xbd"));
  EXPECT_THAT(lines[2], testing::EndsWith("[M] 3 src:13 second"));
}

TEST(LogOutput, ConcurrentLinesNeverInterleave) {
  TempFile file("threads");
  Configure("M=1", file.path().c_str());
  // Each line whole: stamp, "[M] 1 worker:<t> <<n>....>", every n once.
  const auto body = [](int n) { return std::string("<").append(std::to_string(n)).append(200, '.').append(">"); };
  std::set<std::string> expected, seen;
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < 8; ++t) {
      threads.emplace_back([t, &body] {
        for (int n = t * 300; n < t * 300 + 300; ++n) {
          const std::string text = body(n);
          Flush(u"M", 1, u"worker", t, std::u16string(text.begin(), text.end()));
        }
      });
      for (int n = t * 300; n < t * 300 + 300; ++n) {
        expected.insert(std::string("[M] 1 worker:").append(std::to_string(t)).append(" ").append(body(n)));
      }
    }
  }
  const std::vector<std::string> lines = file.Lines();
  ASSERT_EQ(lines.size(), expected.size());
  for (const std::string& line : lines) seen.emplace(AfterStamp(line).value_or(line));
  EXPECT_TRUE(seen == expected);
}

}  // namespace
}  // namespace zevo::logtest
