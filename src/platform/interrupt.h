#pragma once
// SIGINT, SIGTERM and SIGHUP must not end a run while the user's databases hold encoded
// text. The handlers only record the signal; the run notices it at its next check,
// unwinds with Interrupted, restores the databases and then ends by the same signal.

namespace corvina {

struct Interrupted {
  int signal_number;
};

// Also ignores SIGPIPE; run_program gives the programs it starts the default action back.
void install_interrupt_handlers();
// The signal received and not yet acted on, or 0.
int pending_interrupt();
// Throws Interrupted when a signal has arrived. Long loops call it now and then.
void throw_if_interrupted();
// The last look before the process exits: from this call on no signal is delivered (a
// late one waits, blocked), and the one received so far, if any, is returned, so that no
// signal can come between the look and the exit and be lost.
int final_interrupt();
// Ends the process by `signal_number` with its default action, so that the caller sees
// the conventional status (130 for SIGINT in a shell).
[[noreturn]] void die_by_signal(int signal_number);

}  // namespace corvina
