// The text report of a crash: header, stack, registers, modules, memory and
// extra sections, one line at a time straight to the file. Each risky piece
// (a stack frame's symbols, a memory dump, a client's lines) runs fault
// tolerant, so a second fault costs only that piece.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "app/CrashGuard.h"
#include "app/CrashReportFormat.h"
#include "platform/Sys.h"

namespace {

constexpr int kMaxFrames = 256;
constexpr int kMaxModules = 256;
constexpr uint64_t kStackDumpBytes = 384;

struct cReportWriter {
  int fd;
  // "key: value", or whichever of the two is given; always one line feed, never a carriage return.
  void Line(const char* key, const char* value = nullptr) {
    char line[1200];
    int n = snprintf(line, sizeof line, "%s%s%s\n", key ? key : "", key && value ? ": " : "", value ? value : "");
    Sys_WriteFd(fd, line, (size_t)(n < (int)sizeof line ? n : (int)sizeof line - 1));
  }
  void Empty() { Line(nullptr); }
};

void EmitRow(const char* row, void* writer) { static_cast<cReportWriter*>(writer)->Line(row); }

struct cDumpRequest {
  cReportWriter* writer;
  uint64_t start, length, marked;
  bool align;
  const char* prefix;
};

void Dump(cReportWriter& w, uint64_t start, uint64_t length, uint64_t marked, bool align, const char* prefix) {
  cDumpRequest request = {&w, start, length, marked, align, prefix};
  auto run = [](void* p) {
    cDumpRequest* r = static_cast<cDumpRequest*>(p);
    DumpMemory(r->start, r->length, r->marked, r->align, r->prefix, EmitRow, r->writer);
  };
  if (!Sys_RunFaultTolerant(run, &request)) w.Line("Failed to dump memory due to unexpected exception");
}

void WriteHeader(cReportWriter& w, const SysCrash& crash, const int t[6]) {
  char value[700];
  w.Line("[header]");
  snprintf(value, sizeof value, "%02d/%02d/%d, at %02d:%02d:%02d", t[1], t[2], t[0], t[3], t[4], t[5]);
  w.Line("Exception time", value);
  FormatExceptionName(value, sizeof value, crash, Sys_SignalDescription(crash.signal));
  w.Line("Exception code", value);
  SysModule module;
  int section = 0;
  uint64_t offset = 0;
  if (Sys_FindModule(crash.address, module, section, offset))
    snprintf(value, sizeof value, "0x%08" PRIx64 " \"%s\":0x%04x:0x%08" PRIx64, crash.address, module.path, section,
             offset);
  else
    snprintf(value, sizeof value, "0x%08" PRIx64 " <unknown module>", crash.address);
  w.Line("Location", value);
  w.Empty();
}

struct cFrameRequest {
  cReportWriter* writer;
  uint64_t address;
  bool first;
};

void WriteFrame(void* p) {
  cFrameRequest* r = static_cast<cFrameRequest*>(p);
  SysModule module;
  int section = 0;
  uint64_t offset = 0;
  if (!Sys_FindModule(r->address, module, section, offset)) snprintf(module.path, sizeof module.path, "<unknown module>");
  char name[512], line[1200];
  uint64_t displacement = 0;
  if (!Sys_SymbolName(r->address, name, sizeof name, displacement)) {
    if (r->first) r->writer->Line("(Debug information (.pdb files) appears to be absent)");
    snprintf(line, sizeof line, "0x%04x:0x%08" PRIx64 " %s", section, offset, module.path);
  } else {
    snprintf(line, sizeof line, "0x%04x:0x%08" PRIx64 " %s, %s()+0x%08" PRIx64, section, offset, module.path, name,
             displacement);
  }
  r->writer->Line(line);
}

void WriteStack(cReportWriter& w, const SysCrash& crash) {
  w.Line("[stack]");
  w.Line("Call stack", "");
  uint64_t frames[kMaxFrames];
  int count = Sys_CrashStackFrames(crash, frames, kMaxFrames);
  for (int i = 0; i < count && frames[i]; ++i) {
    cFrameRequest request = {&w, frames[i], i == 0};
    Sys_RunFaultTolerant(WriteFrame, &request);
  }
  w.Empty();

  char line[128];
  uint64_t sp = crash.registers[SysRSP], low = 0, high = 0;
  snprintf(line, sizeof line, "Stack data: (RSP is %08" PRIx64 ")", sp);
  w.Line(line);
  if (Sys_StackRange(sp, low, high) && sp >= low && sp < high)
    Dump(w, sp, high - sp < kStackDumpBytes ? high - sp : kStackDumpBytes, sp, true, nullptr);
  else
    w.Line("Stack data is not readable -- invalid range.");
  w.Empty();

  uint64_t ip = crash.registers[SysRIP];
  snprintf(line, sizeof line, "Instruction data: (RIP is 0x%08" PRIx64 ")", ip);
  w.Line(line);
  Dump(w, ip >= 128 ? ip - 128 : 0, 256, ip, true, nullptr);
  w.Empty();
}

void WriteRegisters(cReportWriter& w, const SysCrash& crash) {
  const uint64_t* r = crash.registers;
  char line[160];
  w.Line("[registers]");
  snprintf(line, sizeof line, "RAX: %016" PRIx64 "  RBX: %016" PRIx64 "  RCX: %016" PRIx64 "  RDX: %016" PRIx64, r[SysRAX],
           r[SysRBX], r[SysRCX], r[SysRDX]);
  w.Line(line);
  snprintf(line, sizeof line, "RSI: %016" PRIx64 "  RDI: %016" PRIx64 "  RBP: %016" PRIx64 "  EFL: %08" PRIx64, r[SysRSI],
           r[SysRDI], r[SysRBP], r[SysEFL]);
  w.Line(line);
  snprintf(line, sizeof line, "R8:  %016" PRIx64 "  R9:  %016" PRIx64 "  R10: %016" PRIx64 "  R11: %016" PRIx64, r[SysR8],
           r[SysR9], r[SysR10], r[SysR11]);
  w.Line(line);
  snprintf(line, sizeof line, "R12: %016" PRIx64 "  R13: %016" PRIx64 "  R14: %016" PRIx64 "  R15: %016" PRIx64,
           r[SysR12], r[SysR13], r[SysR14], r[SysR15]);
  w.Line(line);
  snprintf(line, sizeof line, "RIP: %016" PRIx64 "  RSP: %016" PRIx64, r[SysRIP], r[SysRSP]);
  w.Line(line);
  w.Empty();
}

void WriteModules(cReportWriter& w) {
  static SysModule modules[kMaxModules];
  w.Line("[modules]");
  int count = Sys_ListModules(modules, kMaxModules);
  if (count < 0) {
    w.Line("Failed to enumerate modules");
    count = 0;
  } else if (count > kMaxModules) {
    w.Line("Too many modules loaded. Only the first 256 shown");
    count = kMaxModules;
  }
  for (int i = 0; i < count; ++i) {
    const char* path = modules[i].path[0] ? modules[i].path : "<unknown>";
    const char* slash = strrchr(path, '/');
    char line[700];
    snprintf(line, sizeof line, "base %08" PRIx64 " size %08" PRIx64 " entry %08" PRIx64 " %-32s %s", modules[i].base,
             modules[i].size, modules[i].entry, slash ? slash + 1 : path, path);
    w.Line(line);
  }
  w.Empty();
}

void WriteMemory(cReportWriter& w, const SysCrash& crash) {
  static const struct {
    int reg;
    const char* prefix;
  } kDumped[] = {{SysRAX, "RAX "}, {SysRBX, "RBX "}, {SysRCX, "RCX "}, {SysRDX, "RDX "},
                 {SysRSI, "RSI "}, {SysRDI, "RDI "}, {SysRBP, "RBP "}};
  w.Line("[memory]");
  for (const auto& d : kDumped) {
    uint64_t value = crash.registers[d.reg];
    if (value >= 4) Dump(w, value - 4, 32, value, false, d.prefix);
  }
  w.Empty();
}

}  // namespace

void cCrashHandler::WriteReport(const SysCrash& crash, int fd) {
  cReportWriter w{fd};
  if (mSections & kCrashSectionHeader) WriteHeader(w, crash, mTime);
  if (mSections & kCrashSectionStack) WriteStack(w, crash);
  if (mSections & kCrashSectionRegisters) WriteRegisters(w, crash);
  if (mSections & kCrashSectionModules) WriteModules(w);
  if (mSections & kCrashSectionMemory) WriteMemory(w, crash);
  if (mSections & kCrashSectionExtra) {
    w.Line("[extra]");
    mReport = fd;
    auto tellClients = [](void* guard) {
      static_cast<cCrashGuard*>(guard)->Notify(kCrashExtraBegin);
      static_cast<cCrashGuard*>(guard)->Notify(kCrashExtraEnd);
    };
    if (!Sys_RunFaultTolerant(tellClients, mGuard)) w.Line("Extra data is not complete due to exception in some client.");
    mReport = -1;
    w.Empty();
  }
}
