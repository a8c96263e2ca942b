#include "platform/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace corvina {
namespace {

volatile sig_atomic_t g_pending_signal = 0;

extern "C" void record_signal(int signal_number) { g_pending_signal = signal_number; }

}  // namespace

void install_interrupt_handlers() {
  struct sigaction action {};
  action.sa_handler = record_signal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a blocked wait returns with EINTR, so the signal is seen at once.
  action.sa_flags = 0;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal_number, &action, nullptr);
  // A console that went away (`corvina4 thesis | head`) must not end the run before the
  // restore: the write fails instead, and the run goes on.
  signal(SIGPIPE, SIG_IGN);
}

int pending_interrupt() { return g_pending_signal; }

void throw_if_interrupted() {
  if (int signal_number = g_pending_signal) throw Interrupted{signal_number};
}

int final_interrupt() {
  sigset_t handled, pending;
  sigemptyset(&handled);
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&handled, signal_number);
  sigprocmask(SIG_BLOCK, &handled, nullptr);
  if (int signal_number = g_pending_signal) return signal_number;
  if (sigpending(&pending) == 0) {
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
      if (sigismember(&pending, signal_number) == 1) return signal_number;
    }
  }
  return 0;
}

void die_by_signal(int signal_number) {
  signal(signal_number, SIG_DFL);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal_number);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal_number);
  _exit(128 + signal_number);  // not reached unless the signal is ignored by our parent
}

}  // namespace corvina
