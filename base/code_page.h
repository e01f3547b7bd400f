// code_page.h - the process's ANSI code page and its double-byte lead bytes.
#ifndef SAL_CODE_PAGE_H
#define SAL_CODE_PAGE_H

#include <cstddef>
#include <cstdint>

/// The process's ANSI code page as a Windows code-page number.  On Windows the
/// system's ANSI code page; on POSIX derived from the LC_CTYPE code set
/// (Shift_JIS 932, GBK 936, EUC-KR/UHC 949, Big5 950, UTF-8 65001, otherwise
/// 1252).  An override set with SalOverrideAnsiCodePage wins.
uint32_t SalGetAnsiCodePage();

/// Makes SalGetAnsiCodePage answer codePage (0 removes the override).  Meant
/// for tests and for hosts that fix the code page of their texts.
void SalOverrideAnsiCodePage(uint32_t codePage);

/// True when byte leads a double-byte character in codePage.  The ranges of
/// 932, 936, 949 and 950 are built in; other code pages ask the system where
/// it knows them (Windows) and have no lead bytes elsewhere.
bool SalIsDbcsLeadByteEx(uint32_t codePage, unsigned char byte);

/// True when byte leads a double-byte character in the ANSI code page.
bool SalIsLeadByte(unsigned char byte);

/// 1 when byte leads a double-byte character in codePage, else 0; code
/// page 0 is the ANSI code page.
int SalIsLeadByte(unsigned char byte, uint32_t codePage);

/// A 256-entry table, nonzero at the lead bytes of the current ANSI code
/// page.  Valid for the life of the process; cheaper than SalIsLeadByte in
/// loops.
const uint8_t *SalLeadByteTable();

/// Bytes of the character at p, with leads a table from SalLeadByteTable:
/// 2 for a lead byte followed by a non-zero byte, else 1 (a lead byte
/// before the terminator stands alone).  p[1] is read only behind a lead
/// byte, which holds anywhere before a text's terminating zero.
inline size_t SalCharLength(const uint8_t *leads, const char *p) {
  return (leads[static_cast<uint8_t>(p[0])] != 0 && p[1] != '\0') ? 2 : 1;
}

/// Whether the non-zero byte text[index] is the trail byte of a double-byte
/// character.  The byte before a run of lead bytes ends a character
/// whatever it is, and the run pairs up from there, so an odd run of lead
/// bytes right before index makes it a trail byte.
inline bool SalIsTrailByte(const uint8_t *leads, const char *text, size_t index) {
  size_t run = 0;
  while (run < index && leads[static_cast<uint8_t>(text[index - run - 1])] != 0) ++run;
  return (run & 1u) != 0;
}

#endif  // SAL_CODE_PAGE_H
