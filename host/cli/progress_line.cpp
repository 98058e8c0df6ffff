#include "progress_line.h"

#include <cstdio>
#include <string>

#include "common/utf.h"

namespace zevo::cli {
namespace {

std::string Seconds(std::chrono::steady_clock::duration elapsed) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", std::chrono::duration<double>(elapsed).count());
  return text;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& out, bool live) : out_(out), live_(live) {}

void ProgressLine::OnReport(const hostsim::ProgressReport& report) {
  host::MutexLock lock(&mu_);
  switch (report.event) {
    case hostsim::kEventRootStarted:
      if (!live_) out_ << "scanning " << host::Utf16ToUtf8(report.text) << '\n' << std::flush;
      return;
    case hostsim::kEventItemFound:
      ++items_;
      if (live_) Show(/*force=*/false);
      return;
    case hostsim::kEventProgress:
      files_ = report.c;
      // The engine's last report of a scan carries no path.
      Show(/*force=*/!report.hadData);
      return;
    default:
      return;
  }
}

void ProgressLine::Show(bool force) {
  const auto now = std::chrono::steady_clock::now();
  const auto interval = live_ ? std::chrono::milliseconds(100) : std::chrono::milliseconds(1000);
  if (!force && shown_ && now - last_shown_ < interval) return;
  shown_ = true;
  last_shown_ = now;
  const std::string text =
      std::to_string(files_) + " files scanned, " + std::to_string(items_) + " items found, " + Seconds(now - started_);
  if (live_) {
    out_ << "\r\x1b[K" << text << std::flush;
  } else {
    out_ << text << '\n' << std::flush;
  }
}

void ProgressLine::Print(std::ostream& to, const std::string& line) {
  host::MutexLock lock(&mu_);
  const bool redraw = live_ && shown_;
  if (redraw) out_ << "\r\x1b[K" << std::flush;
  to << line << '\n' << std::flush;
  if (redraw) Show(/*force=*/true);
}

void ProgressLine::Finish() {
  host::MutexLock lock(&mu_);
  if (live_ && shown_) out_ << '\n' << std::flush;
}

}  // namespace zevo::cli
