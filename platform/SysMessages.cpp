#include "platform/GtkDialogs.h"
#include "platform/Sys.h"


static cISysMessageSink* gMessageSink = nullptr;
static void (*gMessageEcho)(const char*) = nullptr;
static void (*gMessageShow)(const char*, const char*) = nullptr;

// Boxes shown before anything echoes them (a tuning file read before main):
// kept, and handed to the echo once there is one. Built on first use, since
// the first box may come from a static initialiser.
static std::vector<std::string>& EarlyLines() {
  static std::vector<std::string>* lines = new std::vector<std::string>;
  return *lines;
}
static constexpr size_t kMaxEarlyLines = 100;

// Plain boxes shown before the game window can show them (start-up's tuning
// and script errors), kept for it the same way.
struct cEarlyBox { std::string caption, text; };
static std::vector<cEarlyBox>& EarlyBoxes() {
  static std::vector<cEarlyBox>* boxes = new std::vector<cEarlyBox>;
  return *boxes;
}

void Sys_SetMessageShow(void (*show)(const char* caption, const char* text)) {
  gMessageShow = show;
  if (!show) return;
  std::vector<cEarlyBox> early;
  early.swap(EarlyBoxes());
  for (const cEarlyBox& box : early) show(box.caption.c_str(), box.text.c_str());
}

void Sys_SetMessageSink(cISysMessageSink* sink) { gMessageSink = sink; }
void Sys_SetMessageEcho(void (*echo)(const char*)) {
  gMessageEcho = echo;
  if (!echo) return;
  std::vector<std::string> early;
  early.swap(EarlyLines());
  for (const std::string& line : early) echo(line.c_str());
}

static SysAnswer DefaultAnswer(SysBox kind) {
  switch (kind) {
    case SysBox::Ok: return SysAnswer::Ok;
    case SysBox::OkCancel: return SysAnswer::Ok;
    case SysBox::YesNo: return SysAnswer::Yes;
    case SysBox::AbortRetryIgnore: return SysAnswer::Ignore;
  }
  return SysAnswer::Ok;
}

static const char* Choices(SysBox kind) {
  switch (kind) {
    case SysBox::Ok: return nullptr;
    case SysBox::OkCancel: return "[o]k/[c]ancel";
    case SysBox::YesNo: return "[y]es/[n]o";
    case SysBox::AbortRetryIgnore: return "[a]bort/[r]etry/[i]gnore";
  }
  return nullptr;
}

static const char* const kAnswerNames[] = {"OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore"};  // SysAnswer's order

static SysAnswer ParseAnswer(SysBox kind, char c) {
  switch (kind) {
    case SysBox::OkCancel: return (c == 'c' || c == 'C') ? SysAnswer::Cancel : SysAnswer::Ok;
    case SysBox::YesNo: return (c == 'n' || c == 'N') ? SysAnswer::No : SysAnswer::Yes;
    case SysBox::AbortRetryIgnore:
      if (c == 'a' || c == 'A') return SysAnswer::Abort;
      if (c == 'r' || c == 'R') return SysAnswer::Retry;
      return SysAnswer::Ignore;
    default: return SysAnswer::Ok;
  }
}

// Standard error and the debug window; lines said before the debug window
// exists wait for it.
static void WriteAndEcho(const std::string& line) {
  Sys_Write(SysStream::Err, (line + '\n').c_str(), line.size() + 1);
  if (gMessageEcho) gMessageEcho(line.c_str());
  else if (EarlyLines().size() < kMaxEarlyLines) EarlyLines().push_back(line);
}

void Sys_Note(const std::string& caption, const std::string& text) {
  if (gMessageSink) {
    gMessageSink->OnMessageBox(caption, text, SysBox::Ok);
    return;
  }
  WriteAndEcho("[" + caption + "] " + text);
}

// A plain message never blocks the frame loop: its text goes to standard error,
// the debug window and, for a few seconds, the game window. A question is asked
// in a desktop dialog when a window manager can show one, else on the terminal
// where a person can see and answer it, else it takes its default (and the
// debug window says so).
SysAnswer Sys_MessageBox(const std::string& caption, const std::string& text, SysBox kind) {
  if (gMessageSink) return gMessageSink->OnMessageBox(caption, text, kind);
  WriteAndEcho("[" + caption + "] " + text);
  const char* choices = Choices(kind);
  if (!choices) {
    const cEarlyBox shown = {Sys_VisibleText(caption), Sys_VisibleText(text)};
    if (gMessageShow) gMessageShow(shown.caption.c_str(), shown.text.c_str());
    else if (EarlyBoxes().size() < kMaxEarlyLines) EarlyBoxes().push_back(shown);
    return SysAnswer::Ok;
  }
  const SysAnswer fallback = DefaultAnswer(kind);
  if (GtkDialogsReady()) return GtkAskQuestion(caption, text, kind, fallback);
  std::string answer;
  if (!Sys_AskOnTerminal(std::string(choices) + "? ", answer,
                         "\"" + text + "\" took its default, " + kAnswerNames[(int)fallback], WhyNoDesktopDialog()))
    return fallback;
  return answer.empty() ? fallback : ParseAnswer(kind, answer[0]);
}
