// printable.h - printable-character tests over bytes, texts and ranges.
// (The masking of unprintable bytes is CCommonString::MaskNonPrintable.)
// Every byte is taken as unsigned.
#ifndef COMMON_PRINTABLE_H
#define COMMON_PRINTABLE_H

#include <cstdint>

/// 32-126 and 160-254.
bool IsPrintableChar(unsigned char c);
/// 32-126 and 128-254.
bool IsPrintableOrHighChar(unsigned char c);
/// HT, LF, VT, FF, CR (9-13) and space.
bool IsSpaceChar(unsigned char c);
/// The same for a 16-bit code unit.
bool IsSpaceCharW(char16_t c);

/// 1 when every byte of the zero-terminated text is IsPrintableChar or
/// IsSpaceChar (so also for ""), 0 at the first other byte or for null.
int IsPrintableText(const char *text);
/// The same with IsPrintableOrHighChar.
int IsPrintableOrHighText(const char *text);
/// The same over length bytes (a zero byte is not printable).  Null data
/// answers 0, length 0 with data 1.
int IsPrintableRange(const void *data, uint32_t length);
/// The same, but a lead byte of codePage's double-byte characters (0: the
/// ANSI code page) is skipped together with the byte after it (when that
/// lies in the range).  Length 0 answers 1, null data otherwise 0.
int IsPrintableRangeMbcs(const void *data, uint32_t length, uint32_t codePage);
/// The same with IsPrintableOrHighChar; the short form uses the ANSI code page.
int IsPrintableOrHighRangeMbcs(const void *data, uint32_t length, uint32_t codePage);
int IsPrintableOrHighRangeMbcs(const void *data, uint32_t length);

#endif  // COMMON_PRINTABLE_H
