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
  // A second Ctrl-C goes on to the default handler, which ends the program.
  return g_interrupted.exchange(true) ? FALSE : TRUE;
}

}  // namespace

bool StderrIsTerminal() noexcept { return _isatty(_fileno(stderr)) != 0; }

void InstallInterruptHandler() {
  g_interrupted.store(false);
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void RemoveInterruptHandler() noexcept { SetConsoleCtrlHandler(OnConsoleControl, FALSE); }

bool InterruptRequested() noexcept { return g_interrupted.load(); }

// Item texts are printed as UTF-8.
void UseUtf8Output() noexcept { SetConsoleOutputCP(CP_UTF8); }

}  // namespace zevo::cli
