// code_page.h - the process's ANSI code page and its double-byte lead bytes.
#ifndef SAL_CODE_PAGE_H
#define SAL_CODE_PAGE_H

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

#endif  // SAL_CODE_PAGE_H
