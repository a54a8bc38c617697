#include "app/CrashReportFormat.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/Sys.h"

namespace {

struct cExceptionName {
  uint32_t code;
  const char* name;
};

// The platform's exception constants, named without their EXCEPTION_ prefix.
constexpr cExceptionName kExceptionNames[] = {
    {0x80000002, "DATATYPE_MISALIGNMENT"}, {0x80000003, "BREAKPOINT"},         {0x80000004, "SINGLE_STEP"},
    {0x80000001, "GUARD_PAGE"},            {0xC0000006, "IN_PAGE_ERROR"},      {0xC0000008, "INVALID_HANDLE"},
    {0xC000001D, "ILLEGAL_INSTRUCTION"},   {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, "INVALID_DISPOSITION"},   {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, "FLT_DENORMAL_OPERAND"},  {0xC000008E, "FLT_DIVIDE_BY_ZERO"}, {0xC000008F, "FLT_INEXACT_RESULT"},
    {0xC0000090, "FLT_INVALID_OPERATION"}, {0xC0000091, "FLT_OVERFLOW"},       {0xC0000092, "FLT_STACK_CHECK"},
    {0xC0000093, "FLT_UNDERFLOW"},         {0xC0000094, "INT_DIVIDE_BY_ZERO"}, {0xC0000095, "INT_OVERFLOW"},
    {0xC0000096, "PRIV_INSTRUCTION"},      {0xC00000FD, "STACK_OVERFLOW"},
};

bool IsPrintable(uint8_t b) { return b >= 0x20 && b < 0x7F; }

}  // namespace

void FormatExceptionName(char* out, size_t size, const SysCrash& crash, const char* systemText) {
  if (crash.sent) {
    // Its exception code would tell of a fault that never happened.
    char signal[160];
    if (systemText && *systemText) snprintf(signal, sizeof signal, "Signal %d (%s)", crash.signal, systemText);
    else snprintf(signal, sizeof signal, "Signal %d", crash.signal);
    if (crash.senderPid > 0)
      snprintf(out, size, "%s sent by process %d (uid %u)", signal, crash.senderPid, (unsigned)crash.senderUid);
    else
      snprintf(out, size, "%s sent", signal);
    return;
  }
  const uint32_t code = crash.code;
  if (code == 0xC0000005) {
    bool write = crash.parameterCount > 0 && crash.parameters[0] != 0;
    uint64_t address = crash.parameterCount > 1 ? crash.parameters[1] : 0;
    snprintf(out, size, "ACCESS_VIOLATION %s address 0x%08" PRIx64, write ? "writing" : "reading", address);
    return;
  }
  for (const cExceptionName& known : kExceptionNames)
    if (known.code == code) {
      snprintf(out, size, "%s", known.name);
      return;
    }
  if (systemText && *systemText) snprintf(out, size, "%s", systemText);
  else snprintf(out, size, "Unknown exception 0x%08x", code);
}

void DumpMemory(uint64_t start, uint64_t length, uint64_t marked, bool align, const char* prefix, cDumpRowSink emit,
                void* user) {
  const uint64_t end = start + length;
  const size_t prefixLength = prefix ? strlen(prefix) : 0;
  const uint64_t page = (uint64_t)sysconf(_SC_PAGESIZE);
  uint64_t knownPage = ~0ull;
  bool pageReadable = false;
  bool firstRow = true;
  for (uint64_t row = align ? start & ~(uint64_t)15 : start; row < end; row += 16) {
    char text[256];
    int n = 0;
    if (prefixLength) n += snprintf(text + n, sizeof text - n, "%*s", (int)prefixLength, firstRow ? prefix : "");
    firstRow = false;
    n += snprintf(text + n, sizeof text - n, "%08" PRIx64 " |", row);
    char shown[17];
    for (int i = 0; i < 16; ++i) {
      uint64_t address = row + (uint64_t)i;
      char marker = address == marked ? '<' : address == marked + 1 ? '>' : ' ';
      if (address < start || address >= end) {
        n += snprintf(text + n, sizeof text - n, "   ");
        shown[i] = ' ';
        continue;
      }
      if (address / page != knownPage) {
        knownPage = address / page;
        pageReadable = Sys_IsReadable(address);
      }
      if (!pageReadable) {
        n += snprintf(text + n, sizeof text - n, "%c??", marker);
        shown[i] = '?';
        continue;
      }
      uint8_t b = Sys_PeekByte(address);
      n += snprintf(text + n, sizeof text - n, "%c%02x", marker, b);
      shown[i] = IsPrintable(b) ? (char)b : '.';
    }
    shown[16] = '\0';
    snprintf(text + n, sizeof text - n, " | %s |", shown);
    emit(text, user);
  }
}
