#pragma once
#include <pthread.h>

namespace tamsel {

// The quit signals (SIGTERM, SIGINT, SIGHUP) reach the program by one road
// that no library can take from it: they are blocked in every thread and
// taken by one waiting thread with sigwait. BlockQuitSignals runs first in
// main, before any thread exists, so that every thread inherits the mask.
// Libraries that install handlers of their own or unblock the signals in a
// thread of theirs (SANE's readers reset SIGTERM to its default) cannot lose
// them: a handler of ours sends any that lands in such a thread on to the
// waiting thread, and ReassertQuitSignals puts it back after the library ran.

// Blocks the quit signals in the calling thread and the threads it starts.
void BlockQuitSignals();
// In a child process before it runs another program, which must get them.
void UnblockQuitSignals();

// The thread that takes the quit signals; while one is set, our forwarding
// handler stands for every quit signal.
void SetQuitSignalWaiter(pthread_t waiter);
void ClearQuitSignalWaiter();

// After library code that may have replaced the handlers or unblocked the
// signals in the calling thread: both are put back. Nothing while no waiter
// is set (tests, tools without a window).
void ReassertQuitSignals();

// Waits in the calling thread (which has them blocked) for the next quit
// signal and returns it.
int WaitForQuitSignal();

}  // namespace tamsel
