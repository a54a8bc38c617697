// What the threads of standard input and output share: only they ever wait on
// a reader or a writer outside the game.
#pragma once

#include <pthread.h>
#include <signal.h>

// Signals go to the game's own threads. Blocked in these, SIGTTIN and SIGTTOU
// count as ignored, so a terminal neither stops the game for their reads and
// writes in the background (a read fails, a write goes through), nor does
// SIGPIPE end it when a reader quits. Faults stay deliverable, for the crash guard.
inline void BlockSignalsInThisIoThread() {
  sigset_t all;
  sigfillset(&all);
  for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT}) sigdelset(&all, fault);
  pthread_sigmask(SIG_BLOCK, &all, nullptr);
}
