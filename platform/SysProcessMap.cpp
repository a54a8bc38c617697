// The process's own memory, read for crash reports: which pages can be read,
// which files are mapped where, and the function names in their symbol tables.
// Everything here may run inside a signal handler, so the memory map is read
// with plain system calls into a static buffer and nothing is allocated except
// by the demangler.
#include <cxxabi.h>
#include <elf.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/Sys.h"

namespace {

char gMapsText[512 * 1024];

// Reads /proc/self/maps whole; the text ends with a NUL. False when it cannot be read.
bool ReadMaps() {
  int fd = open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  size_t used = 0;
  ssize_t got;
  while (used < sizeof gMapsText - 1 && (got = read(fd, gMapsText + used, sizeof gMapsText - 1 - used)) > 0)
    used += (size_t)got;
  close(fd);
  gMapsText[used] = '\0';
  return used > 0;
}

struct cMapping {
  uint64_t start, end, offset;
  bool readable;
  const char* path;  // points into gMapsText, ends at the line's end
  size_t pathLength;
};

uint64_t ParseHex(const char*& p) {
  uint64_t v = 0;
  for (;; ++p) {
    char c = *p;
    int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return v;
    v = v * 16 + (uint64_t)d;
  }
}

// Parses the line at p into m and returns the next line, or null at the end.
const char* NextMapping(const char* p, cMapping& m) {
  if (!p || !*p) return nullptr;
  m.start = ParseHex(p);
  if (*p == '-') ++p;
  m.end = ParseHex(p);
  while (*p == ' ') ++p;
  m.readable = *p == 'r';
  while (*p && *p != ' ') ++p;
  while (*p == ' ') ++p;
  m.offset = ParseHex(p);
  for (int field = 0; field < 2; ++field) {  // device, inode
    while (*p == ' ') ++p;
    while (*p && *p != ' ' && *p != '\n') ++p;
  }
  while (*p == ' ') ++p;
  m.path = p;
  while (*p && *p != '\n') ++p;
  m.pathLength = (size_t)(p - m.path);
  return *p ? p + 1 : p;
}

bool IsFile(const cMapping& m) { return m.pathLength > 0 && m.path[0] == '/'; }

void CopyPath(const cMapping& m, char* out, size_t size) {
  size_t n = m.pathLength < size - 1 ? m.pathLength : size - 1;
  memcpy(out, m.path, n);
  out[n] = '\0';
}

// The module whose mappings hold address: its first mapping (offset 0) and its extent.
bool ModuleAt(uint64_t address, SysModule& module) {
  if (!ReadMaps()) return false;
  cMapping m, head = {};
  bool haveHead = false;
  for (const char* p = NextMapping(gMapsText, m); p; p = NextMapping(p, m)) {
    if (!IsFile(m)) continue;
    if (m.offset == 0 && (!haveHead || head.pathLength != m.pathLength || memcmp(head.path, m.path, m.pathLength))) {
      head = m;
      haveHead = true;
    }
    if (address >= m.start && address < m.end && haveHead && head.pathLength == m.pathLength &&
        !memcmp(head.path, m.path, m.pathLength)) {
      module.base = head.start;
      module.size = m.end - head.start;
      CopyPath(m, module.path, sizeof module.path);
      return true;
    }
  }
  return false;
}

// The ELF header mapped at a module's base, when it is one.
const ElfW(Ehdr)* ElfHeaderAt(uint64_t base) {
  if (!Sys_IsReadable(base)) return nullptr;
  const ElfW(Ehdr)* header = reinterpret_cast<const ElfW(Ehdr)*>(base);
  if (memcmp(header->e_ident, ELFMAG, SELFMAG) != 0) return nullptr;
  return header;
}

// Where the module's link-time addresses landed: base minus its first segment's address.
uint64_t LoadBias(uint64_t base, const ElfW(Ehdr)* header) {
  if (header->e_type != ET_DYN) return 0;
  const ElfW(Phdr)* ph = reinterpret_cast<const ElfW(Phdr)*>(base + header->e_phoff);
  for (int i = 0; i < header->e_phnum; ++i)
    if (ph[i].p_type == PT_LOAD) return base - (ph[i].p_vaddr & ~(uint64_t)(getpagesize() - 1));
  return base;
}

// A demangled name ends in its parameter list, perhaps with qualifiers after
// it ("cFoo::Bar(int) const"); the report shows the name alone, as "cFoo::Bar".
size_t FunctionNameLength(const char* name) {
  size_t length = strlen(name);
  const char* close = strrchr(name, ')');
  if (!close) return length;
  int depth = 0;
  for (const char* p = close; p >= name; --p) {
    depth += *p == ')' ? 1 : *p == '(' ? -1 : 0;
    if (depth == 0) return (size_t)(p - name);
  }
  return length;
}

}  // namespace

bool Sys_IsReadable(uint64_t address) {
  if (!ReadMaps()) return false;
  cMapping m;
  for (const char* p = NextMapping(gMapsText, m); p; p = NextMapping(p, m))
    if (address >= m.start && address < m.end) return m.readable;
  return false;
}

// The reporter reads whatever memory it is shown, poisoned or not.
__attribute__((no_sanitize("address"))) uint8_t Sys_PeekByte(uint64_t address) {
  return *reinterpret_cast<const volatile uint8_t*>(address);
}

int Sys_ListModules(SysModule* modules, int max) {
  if (!ReadMaps()) return -1;
  int count = 0;  // counts every module, also those past max
  cMapping m;
  SysModule* last = nullptr;
  for (const char* p = NextMapping(gMapsText, m); p; p = NextMapping(p, m)) {
    if (!IsFile(m)) continue;
    if (last && strlen(last->path) == m.pathLength && !memcmp(last->path, m.path, m.pathLength)) {
      last->size = m.end - last->base;
      continue;
    }
    if (m.offset != 0) continue;
    if (count < max) {
      last = &modules[count];
      *last = SysModule{};
      last->base = m.start;
      last->size = m.end - m.start;
      CopyPath(m, last->path, sizeof last->path);
    } else {
      last = nullptr;
    }
    ++count;
  }
  for (int i = 0; i < count && i < max; ++i)
    if (const ElfW(Ehdr)* header = ElfHeaderAt(modules[i].base))
      modules[i].entry = header->e_entry ? LoadBias(modules[i].base, header) + header->e_entry : 0;
  return count;
}

bool Sys_FindModule(uint64_t address, SysModule& module, int& section, uint64_t& offset) {
  if (!ModuleAt(address, module)) return false;
  const ElfW(Ehdr)* header = ElfHeaderAt(module.base);
  if (!header) return false;
  uint64_t bias = LoadBias(module.base, header);
  const ElfW(Phdr)* ph = reinterpret_cast<const ElfW(Phdr)*>(module.base + header->e_phoff);
  int number = 0;
  for (int i = 0; i < header->e_phnum; ++i) {
    if (ph[i].p_type != PT_LOAD) continue;
    ++number;
    uint64_t start = bias + ph[i].p_vaddr;
    if (address >= start && address < start + ph[i].p_memsz) {
      section = number;
      offset = address - start;
      return true;
    }
  }
  return false;
}

bool Sys_StackRange(uint64_t stackPointer, uint64_t& low, uint64_t& high) {
  if (!ReadMaps()) return false;
  cMapping m;
  for (const char* p = NextMapping(gMapsText, m); p; p = NextMapping(p, m))
    if (stackPointer >= m.start && stackPointer < m.end && m.readable) {
      low = m.start;
      high = m.end;
      return true;
    }
  return false;
}

int Sys_CrashStackFrames(const SysCrash& crash, uint64_t* frames, int max) {
  if (max <= 0) return 0;
  // The unwinder starts in the handler and passes through the signal frame;
  // the frames that matter begin at the faulting instruction.
  void* raw[256];
  int n = backtrace(raw, 256);
  int first = -1;
  for (int i = 0; i < n && first < 0; ++i)
    if ((uint64_t)(uintptr_t)raw[i] == crash.address) first = i;
  int count = 0;
  if (first < 0) {
    frames[count++] = crash.address;
    return count;
  }
  for (int i = first; i < n && count < max; ++i) frames[count++] = (uint64_t)(uintptr_t)raw[i];
  return count;
}

bool Sys_SymbolName(uint64_t address, char* name, size_t size, uint64_t& displacement) {
  SysModule module;
  if (!ModuleAt(address, module)) return false;
  const ElfW(Ehdr)* loaded = ElfHeaderAt(module.base);
  if (!loaded) return false;
  uint64_t relative = address - LoadBias(module.base, loaded);

  // The symbol table is not mapped at run time: read it from the file.
  int fd = open(module.path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  void* image = fstat(fd, &st) == 0 && st.st_size > (off_t)sizeof(ElfW(Ehdr))
                    ? mmap(nullptr, (size_t)st.st_size, PROT_READ, MAP_PRIVATE, fd, 0)
                    : MAP_FAILED;
  close(fd);
  if (image == MAP_FAILED) return false;
  const uint8_t* bytes = static_cast<const uint8_t*>(image);
  size_t fileSize = (size_t)st.st_size;
  const ElfW(Ehdr)* header = reinterpret_cast<const ElfW(Ehdr)*>(bytes);
  bool found = false;
  const char* symbolName = nullptr;
  if (!memcmp(header->e_ident, ELFMAG, SELFMAG) && header->e_shentsize == sizeof(ElfW(Shdr)) &&
      header->e_shoff + (uint64_t)header->e_shnum * sizeof(ElfW(Shdr)) <= fileSize) {
    const ElfW(Shdr)* sections = reinterpret_cast<const ElfW(Shdr)*>(bytes + header->e_shoff);
    for (uint32_t want : {(uint32_t)SHT_SYMTAB, (uint32_t)SHT_DYNSYM}) {
      for (int i = 0; i < header->e_shnum && !found; ++i) {
        const ElfW(Shdr)& table = sections[i];
        if (table.sh_type != want || table.sh_link >= header->e_shnum) continue;
        const ElfW(Shdr)& strings = sections[table.sh_link];
        if (table.sh_offset + table.sh_size > fileSize || strings.sh_offset + strings.sh_size > fileSize) continue;
        const ElfW(Sym)* symbols = reinterpret_cast<const ElfW(Sym)*>(bytes + table.sh_offset);
        size_t count = table.sh_size / sizeof(ElfW(Sym));
        for (size_t s = 0; s < count; ++s) {
          const ElfW(Sym)& sym = symbols[s];
          if (ELF64_ST_TYPE(sym.st_info) != STT_FUNC || sym.st_size == 0 || sym.st_name >= strings.sh_size) continue;
          if (relative < sym.st_value || relative >= sym.st_value + sym.st_size) continue;
          symbolName = reinterpret_cast<const char*>(bytes + strings.sh_offset + sym.st_name);
          if (!memchr(symbolName, '\0', strings.sh_size - sym.st_name)) continue;
          displacement = relative - sym.st_value;
          found = true;
          break;
        }
      }
      if (found) break;
    }
  }
  if (found) {
    int status = -1;
    char* demangled = abi::__cxa_demangle(symbolName, nullptr, nullptr, &status);
    const char* shown = status == 0 && demangled ? demangled : symbolName;
    size_t n = FunctionNameLength(shown);
    if (n > size - 1) n = size - 1;
    memcpy(name, shown, n);
    name[n] = '\0';
    free(demangled);
  }
  munmap(image, fileSize);
  return found;
}
