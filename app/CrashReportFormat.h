// The crash report's own text: exception names and rows of memory dumps.
#pragma once

#include <cstddef>
#include <cstdint>

struct SysCrash;

// "ACCESS_VIOLATION reading address 0x00000000", a known code's name, the
// system's text for the fault, or "Unknown exception 0x%08x". A signal that
// was sent, not caused by a fault, is named with the system's text for it
// and who sent it: "Signal 11 (Segmentation fault) sent by process 4321 (uid 1000)".
void FormatExceptionName(char* out, size_t size, const SysCrash& crash, const char* systemText);

// Rows of 16 bytes from start (moved down to a multiple of 16 when aligned)
// while the row begins before start + length, the marked byte between "<" and
// ">", unreadable bytes as "??", positions outside the range blank. Each row
// goes to emit as it is made.
using cDumpRowSink = void (*)(const char* row, void* user);
void DumpMemory(uint64_t start, uint64_t length, uint64_t marked, bool align, const char* prefix, cDumpRowSink emit,
                void* user);
