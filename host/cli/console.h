// The console as zevo-host scan uses it: whether stderr is a terminal, and
// Ctrl-C turned into a call on a thread of the program's own.
#ifndef ZEVO_HOST_CLI_CONSOLE_H_
#define ZEVO_HOST_CLI_CONSOLE_H_

#include <atomic>
#include <functional>
#include <thread>

namespace zevo::cli {

bool StderrIsTerminal() noexcept;

// Makes a console show the program's UTF-8 output as such (Windows).
void UseUtf8Output() noexcept;

// While it lives, Ctrl-C (SIGINT on POSIX, the console control handler on
// Windows) no longer ends the program: the handler only sets a flag, and a
// watcher thread calls `onInterrupt` once, outside the handler, where it may
// take locks and call into the module. The destructor restores the previous
// handling and joins the watcher. One instance at a time.
class InterruptWatcher {
 public:
  explicit InterruptWatcher(std::function<void()> onInterrupt);
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  bool Interrupted() const noexcept;

 private:
  void Watch();

  const std::function<void()> on_interrupt_;
  std::atomic<bool> done_{false};
  std::thread watcher_;
};

// Platform part: install and remove the handler; the flag it sets.
void InstallInterruptHandler();
void RemoveInterruptHandler() noexcept;
bool InterruptRequested() noexcept;

}  // namespace zevo::cli

#endif  // ZEVO_HOST_CLI_CONSOLE_H_
