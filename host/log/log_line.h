// Layout of one output line (documented in zevo/log.h).
#ifndef ZEVO_HOST_LOG_LOG_LINE_H_
#define ZEVO_HOST_LOG_LOG_LINE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "log_platform.h"

namespace zevo::hostlog {

struct LineFields {
  LocalTime time;
  uint64_t thread_id;
  std::u16string_view module;
  int32_t level;
  std::u16string_view source_file;
  int32_t line;
  std::u16string_view text;
};

// The UTF-8 line, without the terminating line feed.
std::string FormatLine(const LineFields& fields);

}  // namespace zevo::hostlog

#endif  // ZEVO_HOST_LOG_LOG_LINE_H_
