#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "console.h"

namespace zevo::cli {
namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");
struct sigaction g_previous {};

extern "C" void OnSigint(int) { g_interrupted.store(true); }

}  // namespace

bool StderrIsTerminal() noexcept { return isatty(STDERR_FILENO) == 1; }

void InstallInterruptHandler() {
  g_interrupted.store(false);
  struct sigaction action {};
  action.sa_handler = OnSigint;
  // A second Ctrl-C ends the program the usual way.
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &g_previous);
}

void RemoveInterruptHandler() noexcept { sigaction(SIGINT, &g_previous, nullptr); }

bool InterruptRequested() noexcept { return g_interrupted.load(); }

void UseUtf8Output() noexcept {}

}  // namespace zevo::cli
