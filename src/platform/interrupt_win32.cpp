#include <windows.h>

#include <csignal>

#include "platform/interrupt.h"

namespace corvina {
namespace {

// Written by the console's handler thread, read by the run: one word, set once.
volatile LONG g_pending_signal = 0;

// Windows reports an interrupt as a console event, handled on a thread of its own. The
// run sees it as the signal a POSIX terminal would have sent, and acts on it the same
// way: at its next check it unwinds, restores the databases and ends.
BOOL WINAPI record_event(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      InterlockedCompareExchange(&g_pending_signal, SIGINT, 0);
      return TRUE;
    case CTRL_BREAK_EVENT:
      InterlockedCompareExchange(&g_pending_signal, SIGBREAK, 0);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      InterlockedCompareExchange(&g_pending_signal, SIGTERM, 0);
      // The system ends the process as soon as this handler returns (and in any case a
      // few seconds after the console closed), so the handler waits here while the run
      // restores the databases and ends the process itself.
      Sleep(INFINITE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

// A program started in a new process group begins with Ctrl-C ignored; ours is turned
// back on, so that Ctrl-C restores the databases there as well.
void install_interrupt_handlers() {
  SetConsoleCtrlHandler(nullptr, FALSE);
  SetConsoleCtrlHandler(record_event, TRUE);
}

int pending_interrupt() { return static_cast<int>(g_pending_signal); }

void throw_if_interrupted() {
  if (int signal_number = pending_interrupt()) throw Interrupted{signal_number};
}

// The console's handler thread keeps the process alive until die_by_signal: nothing is
// lost between this look and the exit.
int final_interrupt() { return pending_interrupt(); }

// A Windows program ended by Ctrl-C ends with STATUS_CONTROL_C_EXIT (0xC000013A, which
// cmd.exe shows as -1073741510), and so do we after the restore, whichever of Ctrl-C,
// Ctrl-Break or the console's closing it was: a batch file or latexmk sees that the run
// was interrupted, not that it failed or finished.
void die_by_signal(int) { ExitProcess(STATUS_CONTROL_C_EXIT); }

}  // namespace corvina
