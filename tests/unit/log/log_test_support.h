// Shared by the logging tests: configuring the library through the
// environment and recording what it flushes.
#ifndef ZEVO_TESTS_UNIT_LOG_LOG_TEST_SUPPORT_H_
#define ZEVO_TESTS_UNIT_LOG_LOG_TEST_SUPPORT_H_

#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "zevo/log.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace zevo::logtest {

// `value` is UTF-8 (the narrow environment of Windows is not).
inline void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
  auto widen = [](const char* s) {
    std::wstring wide(std::char_traits<char>::length(s) + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n - 1 : 0);
    return wide;
  };
  _wputenv_s(widen(name).c_str(), widen(value).c_str());
#else
  setenv(name, value, /*overwrite=*/1);
#endif
}

inline void UnsetEnv(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");  // an empty value removes the variable
#else
  unsetenv(name);
#endif
}

inline const char* NullDevice() {
#ifdef _WIN32
  return "NUL";
#else
  return "/dev/null";
#endif
}

// Sets ZEVO_LOG (null: unset) and the output file (default: discard) and
// makes the library read them.
inline void Configure(const char* levels, const char* file = NullDevice()) {
  if (levels != nullptr) {
    SetEnv("ZEVO_LOG", levels);
  } else {
    UnsetEnv("ZEVO_LOG");
  }
  SetEnv("ZEVO_LOG_FILE", file);
  Log_Reload();
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// What follows "YYYY-MM-DD hh:mm:ss.mmm <tid> " in a formatted line; nullopt
// when the line does not start that way.
inline std::optional<std::string_view> AfterStamp(std::string_view line) {
  constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd.ddd ";
  if (line.size() < kShape.size()) return std::nullopt;
  for (size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == 'd' ? !IsDigit(line[i]) : line[i] != kShape[i]) {
      return std::nullopt;
    }
  }
  line.remove_prefix(kShape.size());
  size_t digits = 0;
  while (digits < line.size() && IsDigit(line[digits])) ++digits;
  if (digits == 0 || digits == line.size() || line[digits] != ' ') {
    return std::nullopt;
  }
  return line.substr(digits + 1);
}

struct CapturedLine {
  std::u16string module;
  int32_t level;
  std::u16string file;
  int32_t line;
  const char16_t* text_pointer;
  uint32_t text_bytes;
  std::u16string text;
  std::string utf8;
};

// Records every flushed line while it lives.
class LineCapture {
 public:
  LineCapture() { Log_SetCapture(&LineCapture::Add, this); }
  ~LineCapture() { Log_SetCapture(nullptr, nullptr); }
  LineCapture(const LineCapture&) = delete;
  LineCapture& operator=(const LineCapture&) = delete;

  std::vector<CapturedLine> Lines() const {
    std::lock_guard<std::mutex> lock(mu_);
    return lines_;
  }

  std::vector<std::u16string> Texts() const {
    std::vector<std::u16string> texts;
    for (const CapturedLine& l : Lines()) texts.push_back(l.text);
    return texts;
  }

 private:
  static void Add(void* context, const Log_Record* r) {
    auto* self = static_cast<LineCapture*>(context);
    std::lock_guard<std::mutex> lock(self->mu_);
    self->lines_.push_back({r->module, r->level, r->sourceFile, r->line, r->text, r->textBytes,
                            std::u16string(r->text, r->textBytes / 2), std::string(r->utf8Line, r->utf8Bytes)});
  }

  mutable std::mutex mu_;
  std::vector<CapturedLine> lines_;
};

}  // namespace zevo::logtest

#endif  // ZEVO_TESTS_UNIT_LOG_LOG_TEST_SUPPORT_H_
