// heap_text.h - texts on the heap (MemAlloc storage, released with MemFree),
// 8-bit and 16-bit.
//
// Failures return 0 and set the thread's last-error value: 0xE00303EB when
// storage was not obtained, 0xE0050005 for a null text or out-parameter
// where one is required.  On failure the caller's pointer is unchanged.
#ifndef COMMON_HEAP_TEXT_H
#define COMMON_HEAP_TEXT_H

#include <cstdint>

/// Allocates n + 2 zeroed bytes / 2n + 4 zeroed bytes into *out.
int AllocText(char **out, uint32_t n);
int AllocWideText(char16_t **out, uint32_t n);
/// Allocates length + 2 units into *out and copies text (bounded copy).
int DupText(char **out, const char *text);
int DupWideText(char16_t **out, const char16_t *text);
/// Resizes *inout (null: no text yet) to hold its text, text and 2 more
/// units, then appends text.  A null text changes nothing and answers 1.
int AppendAllocText(char **inout, const char *text);
int AppendAllocWideText(char16_t **inout, const char16_t *text);
/// Resizes *inout to oldLength + n + 2 units and copies n + 1 units of
/// bytes (their terminator included) behind oldLength units.
int AppendAllocBytes(char **inout, uint32_t oldLength, const char *bytes, uint32_t n);
int AppendAllocWideUnits(char16_t **inout, uint32_t oldLength, const char16_t *units, uint32_t n);

#endif  // COMMON_HEAP_TEXT_H
