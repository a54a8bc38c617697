// What the threads of standard input and output share: only they ever wait on
// a reader or a writer outside the game.
#pragma once

#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>

// A pseudo-terminal's master, which only answers TIOCGPKT, names its terminal
// (TIOCGDEV, tcgetpgrp) but is not it: what is written there is typed into
// the terminal, and what is read there is what the terminal shows.
inline bool IsPseudoTerminalMaster(int fd) {
  int packetMode = 0;
  return ioctl(fd, TIOCGPKT, &packetMode) == 0;
}

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

// fork() and a state the I/O threads share behind its `lock`. A child forked
// while one of them held the lock would find it held forever, and the state's
// condition would count waiters that are not there: the child gets a fresh
// state, made for it by `ForChild` in the parent, before the fork and with the
// lock held, so no thread of ours holds it as the fork copies it. Nothing is
// allocated in the child: a library may fork from a thread of its own while
// another thread holds an allocator lock, which stays held in the child.
// The parent's state stays reachable there, unused, so the child's exit does
// not count it as lost. `InChild` then runs in the child.
inline void NothingMoreInChild() {}
template <class State, State*& (*Slot)(), State* (*ForChild)(const State&), void (*InChild)() = NothingMoreInChild>
class cForkHandlers {
 public:
  static void Install() { pthread_atfork(Prepare, InParent, InChildProcess); }

 private:
  static void Prepare() {
    Slot()->lock.lock();
    madeForChild = ForChild(*Slot());
  }
  static void InParent() {
    const State* unused = madeForChild;  // taken under the lock: another thread's fork may follow at once
    madeForChild = nullptr;
    Slot()->lock.unlock();
    delete unused;
  }
  static void InChildProcess() {
    leftByParent = Slot();
    Slot() = madeForChild;
    madeForChild = nullptr;
    InChild();
  }
  static inline State* madeForChild = nullptr;
  static inline State* volatile leftByParent = nullptr;
};
