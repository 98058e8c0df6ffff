#include "logger.h"

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "log_line.h"

namespace zevo::hostlog {
namespace {

ModuleLevels LevelsFromEnvironment() {
  const std::optional<std::u16string> text = GetEnvironment("ZEVO_LOG");
  return text ? ModuleLevels::Parse(*text) : ModuleLevels{};
}

UniqueFile FileFromEnvironment() {
  const std::optional<std::u16string> path = GetEnvironment("ZEVO_LOG_FILE");
  if (!path || path->empty()) return nullptr;
  return OpenForAppend(*path);
}

}  // namespace

Logger& Logger::Instance() {
  static Logger logger;
  return logger;
}

Logger::Logger() { Reload(); }

int32_t Logger::LevelOf(std::u16string_view module) {
  host::ReaderLock lock(&config_mu_);
  return levels_.LevelOf(module);
}

void Logger::Write(const char16_t* module, int32_t level, const char16_t* file, int32_t line, const char16_t* text,
                   uint32_t text_bytes) {
  const std::u16string_view file_name = file ? file : u"";
  const std::string formatted = FormatLine({NowLocal(), CurrentThreadId(), module, level, file_name, line,
                                            std::u16string_view(text, text_bytes / sizeof(char16_t))});
  const Log_Record record{module, level,      file_name.data(),  line,
                          text,   text_bytes, formatted.c_str(), static_cast<uint32_t>(formatted.size())};

  host::MutexLock lock(&out_mu_);
  if (capture_ != nullptr) capture_(capture_context_, &record);
  std::FILE* out = file_ ? file_.get() : stderr;
  std::fwrite(formatted.data(), 1, formatted.size(), out);
  std::fputc('\n', out);
  std::fflush(out);
}

void Logger::Reload() {
  ModuleLevels levels = LevelsFromEnvironment();
  UniqueFile file = FileFromEnvironment();
  {
    host::WriterLock lock(&config_mu_);
    levels_ = std::move(levels);
  }
  host::MutexLock lock(&out_mu_);
  file_ = std::move(file);  // the old file closes here, under the lock
}

void Logger::SetCapture(Log_CaptureFn fn, void* context) {
  host::MutexLock lock(&out_mu_);
  capture_ = fn;
  capture_context_ = context;
}

}  // namespace zevo::hostlog
