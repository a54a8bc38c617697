// Writes a crash as a minidump in the standard layout (a header with the MDMP
// signature, a stream directory, then the streams), the way crash tools write
// them for Linux: system information, the faulting thread with its register
// context and stack memory, the exception, the module list with build ids,
// the memory around the faulting instruction and the process's memory map.
// The dump is built in a static buffer: nothing is allocated while crashing.
#include <cpuid.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/utsname.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/Sys.h"

namespace {

constexpr uint32_t kThreadListStream = 3, kModuleListStream = 4, kMemoryListStream = 5, kExceptionStream = 6,
                   kSystemInfoStream = 7, kLinuxMapsStream = 0x47670009;
constexpr uint32_t kContextSize = 1232;   // the AMD64 register context
constexpr uint32_t kModuleEntrySize = 108;
constexpr int kMaxModules = 256;
constexpr uint64_t kMaxStackBytes = 32 * 1024;

class cDumpBuffer {
 public:
  uint32_t Size() const { return mUsed; }
  uint32_t Room() const { return (uint32_t)sizeof mBytes - mUsed; }
  bool Overflowed() const { return mOverflow; }
  uint32_t Reserve(uint32_t n) {  // zeroed space; its offset in the file
    uint32_t at = mUsed;
    if (n > sizeof mBytes - mUsed) {
      mOverflow = true;
      return at;
    }
    memset(mBytes + mUsed, 0, n);
    mUsed += n;
    return at;
  }
  void Put(uint32_t at, const void* data, uint32_t n) {
    if (at + (uint64_t)n <= mUsed) memcpy(mBytes + at, data, n);
  }
  void Put32(uint32_t at, uint32_t v) { Put(at, &v, 4); }  // little-endian host
  void Put16(uint32_t at, uint16_t v) { Put(at, &v, 2); }
  void Put64(uint32_t at, uint64_t v) { Put(at, &v, 8); }
  uint32_t Append(const void* data, uint32_t n) {
    uint32_t at = Reserve(n);
    Put(at, data, n);
    return at;
  }
  uint32_t AppendString(const char* text) {  // length in bytes, UTF-16 text, a terminating NUL
    uint32_t length = (uint32_t)strlen(text);
    uint32_t at = Reserve(4 + 2 * length + 2);
    Put32(at, 2 * length);
    for (uint32_t i = 0; i < length; ++i) Put16(at + 4 + 2 * i, (uint8_t)text[i]);
    return at;
  }
  const uint8_t* Bytes() const { return mBytes; }
  void Reset() { mUsed = 0, mOverflow = false; }

 private:
  uint8_t mBytes[2 * 1024 * 1024];
  uint32_t mUsed = 0;
  bool mOverflow = false;
};

cDumpBuffer gDump;

struct cStream {
  uint32_t type, size, at;
};

// Copies readable memory, byte by byte so that an unreadable page stays zero.
uint32_t AppendMemory(uint64_t start, uint32_t size) {
  uint32_t at = gDump.Reserve(size);
  uint64_t checkedPage = ~0ull;
  bool readable = false;
  uint64_t page = (uint64_t)getpagesize();
  for (uint32_t i = 0; i < size; ++i) {
    uint64_t address = start + i;
    if (address / page != checkedPage) {
      checkedPage = address / page;
      readable = Sys_IsReadable(address);
    }
    if (readable) {
      uint8_t b = Sys_PeekByte(address);
      gDump.Put(at + i, &b, 1);
    }
  }
  return at;
}

uint32_t AppendContext(const SysCrash& crash) {
  uint32_t at = gDump.Reserve(kContextSize);
  gDump.Put32(at + 48, 0x0010000F);  // AMD64: control, integer, segments, floating point
  const uint64_t* r = crash.registers;
  gDump.Put32(at + 68, (uint32_t)r[SysEFL]);
  const int order[] = {SysRAX, SysRCX, SysRDX, SysRBX, SysRSP, SysRBP, SysRSI, SysRDI,
                       SysR8,  SysR9,  SysR10, SysR11, SysR12, SysR13, SysR14, SysR15};
  for (int i = 0; i < 16; ++i) gDump.Put64(at + 120 + 8 * i, r[order[i]]);
  gDump.Put64(at + 248, r[SysRIP]);
#if defined(__x86_64__)
  if (crash.context) {
    const mcontext_t& m = static_cast<const ucontext_t*>(crash.context)->uc_mcontext;
    uint64_t segments = (uint64_t)m.gregs[REG_CSGSFS];
    gDump.Put16(at + 56, (uint16_t)segments);           // cs
    gDump.Put16(at + 64, (uint16_t)(segments >> 16));   // gs
    gDump.Put16(at + 62, (uint16_t)(segments >> 32));   // fs
    if (m.fpregs) {  // the fxsave image is the context's floating-point save area
      gDump.Put(at + 256, m.fpregs, 512);
      gDump.Put32(at + 52, m.fpregs->mxcsr);
    }
  }
#endif
  return at;
}

cStream SystemInfo() {
  uint32_t at = gDump.Reserve(56);
  gDump.Put16(at, 9);  // AMD64
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  char vendor[12] = {};
  if (__get_cpuid(0, &eax, &ebx, &ecx, &edx)) {
    memcpy(vendor, &ebx, 4), memcpy(vendor + 4, &edx, 4), memcpy(vendor + 8, &ecx, 4);
    gDump.Put(at + 32, vendor, 12);
  }
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    gDump.Put16(at + 2, (uint16_t)(((eax >> 8) & 0xF) + ((eax >> 20) & 0xFF)));  // family
    gDump.Put16(at + 4, (uint16_t)(((eax >> 4) & 0xF) << 8 | (eax & 0xF)));    // model and stepping
    gDump.Put32(at + 44, eax);
    gDump.Put32(at + 48, edx);
  }
  long processors = sysconf(_SC_NPROCESSORS_ONLN);
  uint8_t count = (uint8_t)(processors > 255 ? 255 : processors < 1 ? 1 : processors);
  gDump.Put(at + 6, &count, 1);
  struct utsname name = {};
  uname(&name);
  unsigned major = 0, minor = 0, build = 0;
  sscanf(name.release, "%u.%u.%u", &major, &minor, &build);
  gDump.Put32(at + 8, major);
  gDump.Put32(at + 12, minor);
  gDump.Put32(at + 16, build);
  gDump.Put32(at + 20, 0x8201);  // Linux
  char version[600];
  snprintf(version, sizeof version, "%s %s %s %s", name.sysname, name.release, name.version, name.machine);
  uint32_t text = gDump.AppendString(version);
  gDump.Put32(at + 24, text);
  return {kSystemInfoStream, 56, at};
}

// The GNU build id from a loaded module's notes, as the record debuggers match symbols by.
uint32_t AppendBuildIdRecord(uint64_t base, uint32_t& size) {
  size = 0;
  if (!Sys_IsReadable(base)) return 0;
  const ElfW(Ehdr)* header = reinterpret_cast<const ElfW(Ehdr)*>(base);
  if (memcmp(header->e_ident, ELFMAG, SELFMAG) != 0) return 0;
  const ElfW(Phdr)* ph = reinterpret_cast<const ElfW(Phdr)*>(base + header->e_phoff);
  uint64_t bias = header->e_type == ET_DYN ? base : 0;
  for (int i = 0; i < header->e_phnum; ++i) {
    if (ph[i].p_type != PT_NOTE) continue;
    uint64_t p = bias + ph[i].p_vaddr, end = p + ph[i].p_filesz;
    if (!Sys_IsReadable(p) || !Sys_IsReadable(end - 1)) continue;
    while (p + sizeof(ElfW(Nhdr)) <= end) {
      const ElfW(Nhdr)* note = reinterpret_cast<const ElfW(Nhdr)*>(p);
      uint64_t name = p + sizeof(ElfW(Nhdr)), desc = name + ((note->n_namesz + 3) & ~3u);
      if (desc + note->n_descsz > end) break;
      if (note->n_type == NT_GNU_BUILD_ID && note->n_namesz == 4 && !memcmp((const void*)name, "GNU", 4)) {
        const uint32_t signature = 0x4270454C;  // "LEpB": an ELF build id
        uint32_t at = gDump.Append(&signature, 4);
        gDump.Append((const void*)desc, note->n_descsz);
        size = 4 + note->n_descsz;
        return at;
      }
      p = desc + ((note->n_descsz + 3) & ~3u);
    }
  }
  return 0;
}

cStream ModuleList() {
  static SysModule modules[kMaxModules];
  int count = Sys_ListModules(modules, kMaxModules);
  if (count < 0) count = 0;
  if (count > kMaxModules) count = kMaxModules;
  uint32_t at = gDump.Reserve(4 + kModuleEntrySize * (uint32_t)count);
  gDump.Put32(at, (uint32_t)count);
  for (int i = 0; i < count; ++i) {
    uint32_t entry = at + 4 + kModuleEntrySize * (uint32_t)i;
    gDump.Put64(entry, modules[i].base);
    gDump.Put32(entry + 8, (uint32_t)modules[i].size);
    gDump.Put32(entry + 20, gDump.AppendString(modules[i].path));
    uint32_t recordSize = 0;
    uint32_t record = AppendBuildIdRecord(modules[i].base, recordSize);
    gDump.Put32(entry + 76, recordSize);
    gDump.Put32(entry + 80, record);
  }
  return {kModuleListStream, 4 + kModuleEntrySize * (uint32_t)count, at};
}

uint32_t AppendMapsText() {
  int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return gDump.Size();
  uint32_t at = gDump.Size();
  char chunk[4096];
  ssize_t got;
  // The map is a help to readers, not a need: it takes only the room that is left.
  while (gDump.Room() > 2 * sizeof chunk && (got = read(fd, chunk, sizeof chunk)) > 0) gDump.Append(chunk, (uint32_t)got);
  close(fd);
  return at;
}

}  // namespace

bool Sys_WriteMinidump(int fd, const SysCrash& crash) {
  gDump.Reset();
  cStream streams[7];
  const uint32_t streamCount = 7;
  uint32_t header = gDump.Reserve(32);
  uint32_t directory = gDump.Reserve(12 * streamCount);

  uint32_t context = AppendContext(crash);

  // The stack from just below the stack pointer (the red zone) to the end of its mapping.
  uint64_t sp = crash.registers[SysRSP], low = 0, high = 0;
  uint64_t stackStart = sp >= 128 ? sp - 128 : 0;
  uint32_t stackSize = 0, stack = 0;
  if (Sys_StackRange(sp, low, high)) {
    if (stackStart < low) stackStart = low;
    stackSize = (uint32_t)((high - stackStart) < kMaxStackBytes ? high - stackStart : kMaxStackBytes);
    stack = AppendMemory(stackStart, stackSize);
  }
  uint64_t codeStart = crash.address >= 128 ? crash.address - 128 : 0;
  uint32_t code = AppendMemory(codeStart, 256);

  uint32_t threads = gDump.Reserve(4 + 48);
  gDump.Put32(threads, 1);
  gDump.Put32(threads + 4, crash.threadId);
  gDump.Put64(threads + 4 + 24, stackStart);
  gDump.Put32(threads + 4 + 32, stackSize);
  gDump.Put32(threads + 4 + 36, stack);
  gDump.Put32(threads + 4 + 40, kContextSize);
  gDump.Put32(threads + 4 + 44, context);
  streams[0] = {kThreadListStream, 4 + 48, threads};

  uint32_t memory = gDump.Reserve(4 + 2 * 16);
  gDump.Put32(memory, 2);
  gDump.Put64(memory + 4, stackStart);
  gDump.Put32(memory + 12, stackSize);
  gDump.Put32(memory + 16, stack);
  gDump.Put64(memory + 20, codeStart);
  gDump.Put32(memory + 28, 256);
  gDump.Put32(memory + 32, code);
  streams[1] = {kMemoryListStream, 4 + 2 * 16, memory};

  // Linux dumps carry the signal as the exception code and its si_code as the flags.
  uint32_t exception = gDump.Reserve(168);
  gDump.Put32(exception, crash.threadId);
  gDump.Put32(exception + 8, (uint32_t)crash.signal);
  gDump.Put32(exception + 12, (uint32_t)crash.signalCode);
  gDump.Put64(exception + 24, crash.parameterCount == 2 ? crash.parameters[1] : crash.address);
  gDump.Put32(exception + 160, kContextSize);
  gDump.Put32(exception + 164, context);
  streams[2] = {kExceptionStream, 168, exception};

  streams[3] = SystemInfo();
  streams[4] = ModuleList();
  uint32_t maps = AppendMapsText();
  streams[5] = {kLinuxMapsStream, gDump.Size() - maps, maps};
  streams[6] = {0, 0, 0};  // an unused entry keeps the directory's size fixed

  gDump.Put32(header, 0x504D444D);  // "MDMP"
  gDump.Put32(header + 4, 0xA793);
  gDump.Put32(header + 8, streamCount);
  gDump.Put32(header + 12, directory);
  gDump.Put32(header + 20, (uint32_t)time(nullptr));
  for (uint32_t i = 0; i < streamCount; ++i) {
    gDump.Put32(directory + 12 * i, streams[i].type);
    gDump.Put32(directory + 12 * i + 4, streams[i].size);
    gDump.Put32(directory + 12 * i + 8, streams[i].at);
  }
  if (gDump.Overflowed()) return false;
  return Sys_WriteFd(fd, gDump.Bytes(), gDump.Size());
}
