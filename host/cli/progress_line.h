// The progress of a running scan on stderr: one live line rewritten in place
// on a terminal, plain lines (at most about one a second) otherwise.
#ifndef ZEVO_HOST_CLI_PROGRESS_LINE_H_
#define ZEVO_HOST_CLI_PROGRESS_LINE_H_

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

#include "common/sync.h"
#include "sim/progress_recorder.h"

namespace zevo::cli {

class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool live);
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // Safe for concurrent use: the module may report from two threads.
  void OnReport(const hostsim::ProgressReport& report);
  // Writes `line` and a line end to `to` (which may share the terminal)
  // without mixing it into the live line, which is drawn again below it.
  void Print(std::ostream& to, const std::string& line);
  // Ends the live line so that what follows starts on a line of its own.
  void Finish();

 private:
  void Show(bool force) ZEVO_REQUIRES(mu_);

  std::ostream& out_;
  const bool live_;
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  host::Mutex mu_;
  std::int64_t files_ ZEVO_GUARDED_BY(mu_) = 0;
  std::int64_t items_ ZEVO_GUARDED_BY(mu_) = 0;
  bool shown_ ZEVO_GUARDED_BY(mu_) = false;
  std::chrono::steady_clock::time_point last_shown_ ZEVO_GUARDED_BY(mu_){};
};

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_PROGRESS_LINE_H_
