#include "log_line.h"

#include <cstdio>

#include "utf.h"

namespace zevo::hostlog {
namespace {

void AppendTime(const LocalTime& t, std::string& out) {
  char buffer[32];
  const int n = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                              t.hour, t.minute, t.second, t.millisecond);
  if (n > 0) out.append(buffer, static_cast<size_t>(n));
}

// Keeps one flush on one line: CR and LF are spelled out.
void AppendText(std::u16string_view text, std::string& out) {
  while (!text.empty()) {
    const size_t stop = text.find_first_of(u"\r\n");
    host::AppendUtf8(text.substr(0, stop), out);
    if (stop == std::u16string_view::npos) return;
    out += text[stop] == u'\n' ? "\\n" : "\\r";
    text.remove_prefix(stop + 1);
  }
}

}  // namespace

std::string FormatLine(const LineFields& f) {
  std::string out;
  out.reserve(64 + f.module.size() + f.source_file.size() + 2 * f.text.size());
  AppendTime(f.time, out);
  out += ' ';
  out += std::to_string(f.thread_id);
  out += " [";
  host::AppendUtf8(f.module, out);
  out += "] ";
  out += std::to_string(f.level);
  out += ' ';
  host::AppendUtf8(f.source_file, out);
  out += ':';
  out += std::to_string(f.line);
  out += ' ';
  AppendText(f.text, out);
  return out;
}

}  // namespace zevo::hostlog
