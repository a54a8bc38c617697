#include "platform/Sys.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/DisplayWatch.h"
#include "platform/SysIoThread.h"
#include "platform/glui/DebugView.h"

// Standard input: console commands polled each frame, and the answers to
// questions asked on the terminal.
//
// Piped input may be of any size, so each byte is looked at once: line ends
// are searched for only in what was just taken, a line keeps only what its
// reader can use (the rest is dropped as it comes), and one frame's polling
// takes a bounded number of lines and a bounded amount of input before the
// frame goes on. Input that is not a file is read by a thread of its own,
// at most a frame's share ahead of the frames, so a writer that is further
// ahead waits on its pipe instead of filling our memory.
namespace {
constexpr size_t kChunkBytes = 64 * 1024;  // a whole pipe buffer in one read
constexpr size_t kAnswerMaxChars = PATH_MAX;  // a file name typed at a prompt
constexpr int kTerminalLookMs = 200;          // how often a terminal we may not read is looked at again

struct cLineReader {
  int fd = STDIN_FILENO;
  bool closed = false;
  std::string piece;          // what was taken last, from the reading thread or the file
  size_t begin = 0;           // where the piece's untaken part starts
  std::string line;           // gathered so far: a few bytes more than kept, for a '\r' before the end or the rest of a character the cut splits
  bool cut = false;           // longer than kept: the rest is dropped, and that was said
  bool holdsNul = false;      // the kept part holds a NUL: the line would not run as it would be echoed
  size_t polledBytes = 0;     // taken since the console's polling last came up empty
  int polledLines = 0;        // taken since then
  bool classified = false;    // whether `fd` is read directly or by the reading thread is known
};
cLineReader gReader;

void SayLineCut(size_t kept) {
  char text[128];
  snprintf(text, sizeof text, "A line on standard input was cut to at most %zu bytes, before any character the cut would split", kept);
  Sys_MessageBox("Console", text);
}

// The gathered line is whole: cut to `keep`, or dropped when it holds a NUL
// (text stops there where it is echoed and shown, but not where the command
// reads its words: it is dropped rather than run unseen).
bool FinishLine(std::string& line, size_t keep) {
  cLineReader& r = gReader;
  if (!r.cut && !r.line.empty() && r.line.back() == '\r') r.line.pop_back();
  if (r.line.size() > keep) {
    if (!r.cut) SayLineCut(keep);
    r.line.resize(Sys_Utf8CutLength(r.line.data(), r.line.size(), keep));
  }
  const bool refused = r.holdsNul && memchr(r.line.data(), '\0', r.line.size()) != nullptr;
  if (refused) Sys_MessageBox("Console", "A line on standard input holding a NUL character was dropped");
  if (!refused) line.swap(r.line);
  r.line.clear();
  r.cut = r.holdsNul = false;
  return !refused;
}

// The next whole line in what was taken, cut to `keep` bytes. `lines`
// counts the whole lines taken, those dropped for a NUL among them; none is
// taken once it reached `maxLines`. At the end of input the last line needs
// no line end, as a shell runs a script's last line.
bool TakeLine(std::string& line, size_t keep, int& lines, int maxLines) {
  cLineReader& r = gReader;
  while (r.begin < r.piece.size() && lines < maxLines) {
    const char* start = r.piece.data() + r.begin;
    const size_t left = r.piece.size() - r.begin;
    const char* newline = (const char*)memchr(start, '\n', left);
    const size_t length = newline ? (size_t)(newline - start) : left;
    const size_t room = keep + 4 - std::min(r.line.size(), keep + 4);
    const size_t kept = std::min(length, room);
    r.line.append(start, kept);
    r.holdsNul = r.holdsNul || memchr(start, '\0', kept) != nullptr;
    if (length > room && !r.cut) {
      r.cut = true;
      SayLineCut(keep);
    }
    r.begin += length;
    if (!newline) return false;
    ++r.begin;
    ++lines;
    if (FinishLine(line, keep)) return true;
  }
  if (!r.closed || r.line.empty() || lines >= maxLines) return false;
  ++lines;
  return FinishLine(line, keep);
}

// Why the terminal is not ours to read now, or "" when it is: it must be this
// process's controlling terminal (tcgetpgrp fails on any other), the game in
// its foreground, and the terminal in line mode. A shell of another session,
// a pager or an editor in the same job (line mode off, reading key by key) or
// the shell whose prompt the game's job left in the background gets every
// key. A pseudo-terminal's master is no one's terminal: what is read there is
// what its terminal shows, the game's own output among it.
const char* WhyNotOurs(int fd) {
  if (IsPseudoTerminalMaster(fd)) return "standard input is a pseudo-terminal's master, not a terminal";
  const pid_t foreground = tcgetpgrp(fd);
  if (foreground < 0) return "the terminal is not the game's own: it belongs to another session";
  if (foreground != getpgrp()) return "the game is in the terminal's background";
  termios modes {};
  if (tcgetattr(fd, &modes) != 0 || !(modes.c_lflag & ICANON))
    return "the terminal is not in line mode, as a pager or `stty -icanon` leaves it; `stty sane` gives it back";
  return "";
}
bool MayReadTerminal(int fd) { return !*WhyNotOurs(fd); }

// Input that is not a file is read by a thread of its own: a read there may
// wait (another process sharing the pipe or the terminal can take the bytes
// between our look and our read), and only this thread waits. It reads at most
// a frame's share ahead of the frames, and a terminal only while it may.
struct cInputThread {
  cInputThread(int descriptor, bool isTerminal) : fd(descriptor), terminal(isTerminal) {
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) wake[0] = wake[1] = -1;
  }
  ~cInputThread() {
    for (int d : {fd, wake[0], wake[1]})
      if (d >= 0) close(d);
  }
  void Wake() const {
    if (wake[1] >= 0 && write(wake[1], "w", 1) < 0) {}  // full: a wake-up is pending anyway
  }
  int fd;  // a duplicate of its own: the caller may close or reuse the one it gave
  bool terminal;
  int wake[2];             // a byte written here ends the thread's wait in poll
  bool abandoned = false;  // replaced: the thread ends at its next look
  bool ended = false;      // end of input, or an error
  std::deque<std::string> pieces;  // read, not yet taken by the frames
  size_t piecesBytes = 0;
  bool holdsAFramesShare = false;  // waits for the frames to take some before it reads on
  bool afterCarriageReturn = false;  // a terminal's last byte read was a CR: a newline next is its pair
  // A question on the terminal: what waits when it is asked is the console's
  // (Draining reads it all first); only what is typed after is its answer.
  enum class eAnswer { None, Draining, Waiting } answer = eAnswer::None;
  std::string answerBytes;
};
using tInputThread = std::shared_ptr<cInputThread>;  // the console's, and the thread's while it runs

struct cInput {
  std::mutex lock;
  std::condition_variable changed;
  tInputThread thread;  // none: the input is a file, read directly
  void (*beforeRead)() = nullptr;
  // Every reading thread's, also those abandoned: a child forked as one ends
  // has no such thread, and must still reach it.
  std::vector<tInputThread> running;
};
cInput* MakeInput();
cInput*& InputSlot() {
  static cInput* input = MakeInput();  // never destroyed: its thread may outlive main
  return input;
}
cInput& Input() { return *InputSlot(); }

// The child of a fork has no reading thread: it looks at its input afresh.
cInput* InputForChild(const cInput& parent) {
  cInput* child = new cInput;
  child->beforeRead = parent.beforeRead;
  return child;
}
void LookAtInputAfresh() { gReader.classified = false; }

cInput* MakeInput() {
  cForkHandlers<cInput, InputSlot, InputForChild, LookAtInputAfresh>::Install();
  return new cInput;
}

enum class eRead { Bytes, NotNow, Nothing, Woken, End };

// A terminal that hung up (its window closed under a game left running with
// `disown`) is no longer anyone's terminal, so the look at whether it is ours
// fails before the poll that would see its end: its end is looked for here.
bool HungUp(int fd) {
  pollfd look{fd, POLLIN, 0};
  return poll(&look, 1, 0) == 1 && (look.revents & POLLHUP);
}

// On a terminal a carriage return ends a line as a newline does: a shell's
// line editor turns the terminal's Return translation off while it reads, so
// lines typed in one burst with `fg` reach the game as "mode\rhelp\r". A CR
// LF pair is one line end, also when a read ends between the two.
void EndLinesAtCarriageReturns(std::string& bytes, bool& afterCarriageReturn) {
  size_t kept = 0;
  for (const char c : bytes) {
    if (c == '\n' && afterCarriageReturn) {
      afterCarriageReturn = false;
      continue;
    }
    afterCarriageReturn = c == '\r';
    bytes[kept++] = afterCarriageReturn ? '\n' : c;
  }
  bytes.resize(kept);
}

// One look and at most one read, outside the lock. The terminal is looked at
// again right before the read: a pager may have started, or the shell taken
// the foreground, while the thread waited.
eRead ReadOnce(cInputThread& t, std::string& into, size_t room, int waitMs, void (*beforeRead)()) {
  if (t.terminal && !MayReadTerminal(t.fd)) return HungUp(t.fd) ? eRead::End : eRead::NotNow;
  pollfd looks[2] = {{t.fd, POLLIN, 0}, {t.wake[0], POLLIN, 0}};
  if (poll(looks, t.wake[0] >= 0 ? 2 : 1, waitMs) <= 0) return eRead::Nothing;
  if (looks[1].revents) {
    char drained[64];
    while (read(t.wake[0], drained, sizeof drained) > 0) {}
    return eRead::Woken;
  }
  if (t.terminal && !MayReadTerminal(t.fd)) return HungUp(t.fd) ? eRead::End : eRead::NotNow;
  if (beforeRead) beforeRead();
  into.resize(room);
  const ssize_t got = read(t.fd, into.data(), room);
  if (got > 0) {
    into.resize((size_t)got);
    return eRead::Bytes;
  }
  const int error = got < 0 ? errno : 0;
  if (got < 0 && (error == EAGAIN || error == EINTR)) return eRead::Nothing;  // another reader took it first
  // A terminal ends only when it hangs up. Ctrl+D (a read of nothing) ends a
  // line, not the console, and EIO is the game sent to the background
  // between the look and the read: the next lines typed are read.
  if (t.terminal && !(looks[0].revents & POLLHUP)) return eRead::NotNow;
  return eRead::End;
}

void ReaderLoop(tInputThread t) {
  BlockSignalsInThisIoThread();
  cInput& in = Input();
  using eAnswer = cInputThread::eAnswer;
  std::string bytes;
  std::unique_lock<std::mutex> hold(in.lock);
  const auto mayRead = [&t] {
    return t->abandoned || t->answer != eAnswer::None || t->piecesBytes < kSysConsoleBytesPerFrame;
  };
  for (;;) {
    if (!mayRead()) {
      t->holdsAFramesShare = true;
      in.changed.notify_all();
      in.changed.wait(hold, mayRead);
      t->holdsAFramesShare = false;
    }
    if (t->abandoned) break;
    // A question's drain takes what the terminal holds (a line mode terminal
    // holds at most a few kilobytes), whatever the frames left.
    const bool draining = t->answer == eAnswer::Draining;
    const size_t room = t->answer != eAnswer::None ? kChunkBytes
                                                   : std::min(kChunkBytes, kSysConsoleBytesPerFrame - t->piecesBytes);
    void (*const beforeRead)() = in.beforeRead;
    hold.unlock();
    const eRead outcome = ReadOnce(*t, bytes, room, draining ? 0 : t->terminal ? kTerminalLookMs : -1, beforeRead);
    hold.lock();
    if (outcome == eRead::Bytes && t->terminal) EndLinesAtCarriageReturns(bytes, t->afterCarriageReturn);
    if (outcome == eRead::Bytes && bytes.empty()) {
      // only the LF of a CR LF pair
    } else if (outcome == eRead::Bytes && t->answer == eAnswer::Waiting) {
      t->answerBytes += bytes;
    } else if (outcome == eRead::Bytes) {
      // Copied to its size (the buffer is kept for the next read), and short
      // reads (lines typed or trickling in) joined into one piece, so what
      // waits takes about as much memory as it holds bytes.
      t->piecesBytes += bytes.size();
      if (!t->pieces.empty() && t->pieces.back().size() + bytes.size() <= kChunkBytes) t->pieces.back() += bytes;
      else t->pieces.push_back(bytes);
    } else if (outcome == eRead::End) {
      t->ended = true;
    } else if (draining && outcome != eRead::Woken) {
      t->answer = eAnswer::Waiting;  // nothing more waits, or nothing may be read: the answer comes next
    }
    if (outcome == eRead::NotNow && !t->ended)
      in.changed.wait_for(hold, std::chrono::milliseconds(kTerminalLookMs),
                          [&t, draining] { return t->abandoned || (!draining && t->answer == eAnswer::Draining); });
    in.changed.notify_all();
    if (t->ended) break;
  }
  std::erase(in.running, t);
}

void Abandon(const tInputThread& t) {
  if (!t) return;
  t->abandoned = true;
  t->Wake();
  Input().changed.notify_all();
}

// Decides, once per descriptor, how it is read.
void Classify() {
  cLineReader& r = gReader;
  r.classified = true;
  struct stat st {};
  if (fstat(r.fd, &st) == 0 && S_ISREG(st.st_mode)) return;  // a file never waits
  const int own = fcntl(r.fd, F_DUPFD_CLOEXEC, 3);
  if (own < 0) return;
  std::lock_guard<std::mutex> hold(Input().lock);
  Input().thread = std::make_shared<cInputThread>(own, isatty(own));
  Input().running.push_back(Input().thread);
  std::thread(ReaderLoop, Input().thread).detach();
}

// Takes the next piece the reading thread holds, or reads the file's next
// chunk; false when there is none now.
bool TakeMore() {
  cLineReader& r = gReader;
  if (r.closed) return false;
  if (!r.classified) Classify();
  cInput& in = Input();
  std::unique_lock<std::mutex> hold(in.lock);
  if (const tInputThread t = in.thread) {
    if (t->pieces.empty()) {
      r.closed = t->ended;
      return false;
    }
    r.piece.swap(t->pieces.front());
    r.begin = 0;
    t->piecesBytes -= r.piece.size();
    t->pieces.pop_front();
    if (t->piecesBytes < kSysConsoleBytesPerFrame) t->holdsAFramesShare = false;  // it may read on
    in.changed.notify_all();
    return true;
  }
  hold.unlock();
  r.piece.resize(kChunkBytes);
  const ssize_t got = read(r.fd, r.piece.data(), kChunkBytes);
  r.piece.resize(got > 0 ? (size_t)got : 0);
  r.begin = 0;
  r.closed = got <= 0;
  return got > 0;
}

// Moves what followed a question's answer, or a question's unfinished
// answer, to the console: it was typed for the game.
void GiveToConsole(cInputThread& t, const std::string& bytes) {
  if (bytes.empty()) return;
  t.piecesBytes += bytes.size();
  t.pieces.push_back(bytes);
}
}  // namespace

bool Sys_PollStdinLine(std::string& line) {
  cLineReader& r = gReader;
  while (!TakeLine(line, kDebugCommandMaxChars, r.polledLines, kSysConsoleLinesPerFrame)) {
    // The frame's share is taken, or the piece is (only then is more taken).
    if (r.polledLines >= kSysConsoleLinesPerFrame || r.polledBytes >= kSysConsoleBytesPerFrame || !TakeMore()) {
      if (r.closed && TakeLine(line, kDebugCommandMaxChars, r.polledLines, kSysConsoleLinesPerFrame)) return true;
      r.polledBytes = 0;
      r.polledLines = 0;
      return false;
    }
    r.polledBytes += r.piece.size();
  }
  return true;
}

namespace {
// Ctrl+Z stops the game while a question waits, and the shell's "Stopped"
// line stands under its prompt; after `fg` the prompt is shown again. Only a
// stop of the game's own counts: SIGCONT comes from anyone (`kill -CONT`)
// whether or not the game was stopped, and caught it would also break into
// the waits of every frame. So while a question waits, SIGTSTP is caught
// instead: the handler stops the game with it as it would have been stopped,
// and counts the stop once the game goes on. A SIGSTOP cannot be caught: the
// prompt is not shown again after it. The handler runs in whichever thread
// takes SIGTSTP (the game's own, or a library's; the reader and the writers
// block it), and the count reaches the question from any of them.
//
// The stop asked for may not happen: where the game's process group is
// orphaned (it leads its terminal's session, as with `xterm -e quorvel`) the
// system discards it and the game goes on at once. It was stopped only if a
// SIGCONT came since, and a SIGCONT, whichever thread takes it or none, drops
// every pending stop signal as it is sent. So the handler leaves SIGTTIN
// pending, blocked in its own thread, across the stop: gone, the game was
// continued; still there, it was never stopped, and is taken back. (A SIGCONT
// from elsewhere at the very moment of a Ctrl+Z counts as that stop's end.)
constexpr int kStopWitness = SIGTTIN;
std::atomic<unsigned> gStops{0};
void OnStopAsked(int signal) {
  const int saved = errno;
  struct sigaction stop {}, ours {};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  sigaction(signal, &stop, &ours);
  raise(kStopWitness);  // blocked while the handler runs (see cStopsCounted), so held also where ignored
  raise(signal);  // blocked in its handler: it stops the game once unblocked
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, signal);
  pthread_sigmask(SIG_UNBLOCK, &just, nullptr);  // stopped here until continued
  sigaction(signal, &ours, nullptr);
  sigset_t pending, witness;
  if (sigpending(&pending) == 0 && sigismember(&pending, kStopWitness) == 1) {
    sigemptyset(&witness);
    sigaddset(&witness, kStopWitness);
    const timespec now {};
    sigtimedwait(&witness, nullptr, &now);  // taken back, so that it does nothing once unblocked
  } else {
    ++gStops;  // continued
  }
  errno = saved;
}

// Counts the stops while it lives. SIGTSTP not at its default is left as it
// is (ignored, Ctrl+Z does not stop the game).
struct cStopsCounted {
  cStopsCounted() {
    struct sigaction counting {};
    counting.sa_handler = OnStopAsked;
    counting.sa_flags = SA_RESTART;
    sigemptyset(&counting.sa_mask);
    sigaddset(&counting.sa_mask, kStopWitness);
    installed = sigaction(SIGTSTP, nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL &&
                sigaction(SIGTSTP, &counting, nullptr) == 0;
  }
  ~cStopsCounted() {
    if (installed) sigaction(SIGTSTP, &previous, nullptr);
  }
  cStopsCounted(const cStopsCounted&) = delete;
  cStopsCounted& operator=(const cStopsCounted&) = delete;
  struct sigaction previous {};
  bool installed = false;
};

void (*gQuestionLook)() = nullptr;

void ShowPrompt(const std::string& prompt) {
  Sys_Write(SysStream::Err, prompt.data(), prompt.size());
  Sys_FlushOutput(kSysOutputFlushWaitMs);  // the prompt shows before the wait for the answer
}

// Asks, and waits for the line typed after the prompt: "" when one came, else
// why none did. A question is asked only where a person can see and answer
// it: the game may read its terminal (see WhyNotOurs), and standard error,
// where the prompt goes, shows on that very terminal.
std::string AskAndWait(const std::string& prompt, std::string& answer) {
  const int fd = gReader.fd;
  if (!isatty(fd)) return errno == EIO ? "the terminal closed" : "standard input is not a terminal";
  if (const char* why = WhyNotOurs(fd); *why) return HungUp(fd) ? "the terminal closed" : why;
  if (!Sys_OutputReaches(SysStream::Err, fd)) return "standard error does not show on the terminal";
  if (!gReader.classified) Classify();
  cInput& in = Input();
  std::unique_lock<std::mutex> hold(in.lock);
  const tInputThread t = in.thread;
  if (!t || !t->terminal) return "standard input is not a terminal";
  using eAnswer = cInputThread::eAnswer;
  t->answer = eAnswer::Draining;
  t->answerBytes.clear();
  t->Wake();
  in.changed.notify_all();
  in.changed.wait(hold, [&t] { return t->answer != eAnswer::Draining || t->ended || t->abandoned; });
  hold.unlock();
  const cStopsCounted counting;
  unsigned shownAt = gStops;
  ShowPrompt(prompt);
  hold.lock();
  // Sent to the background (or a pager took the terminal), the question
  // takes its default and play goes on.
  size_t newline = std::string::npos;
  const auto answered = [&t, &newline] { return (newline = t->answerBytes.find('\n')) != std::string::npos; };
  const char* lost = "";
  while (!answered() && !t->ended && !t->abandoned && !*lost) {
    in.changed.wait_for(hold, std::chrono::milliseconds(kTerminalLookMs), answered);
    if (newline != std::string::npos) break;
    hold.unlock();
    lost = WhyNotOurs(t->fd);
    if (!*lost && shownAt != gStops) {  // back in the foreground after a stop
      shownAt = gStops;
      ShowPrompt(prompt);
    }
    EndTheGameIfItsDisplayIsLost();  // the question unanswered: nothing waits for it once the game's display is gone
    if (gQuestionLook) gQuestionLook();
    hold.lock();
  }
  const bool got = newline != std::string::npos;
  const std::string typed = got ? t->answerBytes.substr(0, newline) : std::string();
  GiveToConsole(*t, got ? t->answerBytes.substr(newline + 1) : t->answerBytes);
  t->answer = eAnswer::None;
  t->answerBytes.clear();
  in.changed.notify_all();
  if (!got && (t->ended || t->abandoned || HungUp(t->fd))) return "the terminal closed";
  if (!got) return std::string("no line was typed, and now ") + lost;
  if (typed.size() > kAnswerMaxChars || typed.find('\0') != std::string::npos)
    return "the line typed was too long or held a NUL character";
  answer = typed;
  return "";
}
}  // namespace

bool Sys_AskOnTerminal(const std::string& prompt, std::string& answer, const std::string& unanswered,
                       const std::string& whyNoDialog) {
  const std::string why = AskAndWait(prompt, answer);
  if (why.empty()) return true;
  const std::string where = "answered on the terminal (" + why + "): ";
  Sys_Note("Question", whyNoDialog.empty() ? "Not " + where + unanswered
                                           : "No desktop dialog (" + whyNoDialog + ") and not " + where + unanswered);
  return false;
}

void Sys_SetStdinForTest(int fd) {
  {
    std::lock_guard<std::mutex> hold(Input().lock);
    Abandon(Input().thread);
    Input().thread = nullptr;
  }
  gReader = cLineReader();
  gReader.fd = fd >= 0 ? fd : STDIN_FILENO;
}

bool Sys_WaitStdinForTest(unsigned waitMs, size_t bytes) {
  cLineReader& r = gReader;
  if (r.begin < r.piece.size() && bytes <= 1) return true;
  if (!r.closed && !r.classified) Classify();
  std::unique_lock<std::mutex> hold(Input().lock);
  const tInputThread t = Input().thread;
  if (!t || r.closed) return true;  // a file: what it holds is there, or its end
  return Input().changed.wait_for(hold, std::chrono::milliseconds(waitMs),
                                  [&t, bytes] { return t->piecesBytes >= std::max<size_t>(bytes, 1) || t->ended; });
}

bool Sys_WaitStdinHoldsAFramesShareForTest(unsigned waitMs) {
  if (!gReader.closed && !gReader.classified) Classify();
  std::unique_lock<std::mutex> hold(Input().lock);
  const tInputThread t = Input().thread;
  if (!t || gReader.closed) return true;
  return Input().changed.wait_for(hold, std::chrono::milliseconds(waitMs),
                                  [&t] { return t->holdsAFramesShare || t->ended; });
}

void Sys_SetStdinReadHookForTest(void (*beforeRead)()) {
  std::lock_guard<std::mutex> hold(Input().lock);
  Input().beforeRead = beforeRead;
}

void Sys_SetQuestionLookHookForTest(void (*look)()) { gQuestionLook = look; }
