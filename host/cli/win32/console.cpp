#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "console.h"

namespace zevo::cli {
namespace {

std::atomic<bool> g_interrupted{false};

// Runs on a thread the system creates; it only sets the flag.
BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  g_interrupted.store(true);
  return TRUE;
}

}  // namespace

bool StderrIsTerminal() noexcept { return _isatty(_fileno(stderr)) != 0; }

void InstallInterruptHandler() {
  g_interrupted.store(false);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void RemoveInterruptHandler() noexcept { SetConsoleCtrlHandler(OnConsoleControl, FALSE); }

bool InterruptRequested() noexcept { return g_interrupted.load(); }

}  // namespace zevo::cli
