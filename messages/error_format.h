// error_format.h - turning an error code into its message text.
#ifndef SAL_ERROR_FORMAT_H
#define SAL_ERROR_FORMAT_H

#include <cstddef>
#include <cstdint>

/// Flag of SalFormatErrorCode: put "<module>: <number> - " before the text.
constexpr uint32_t SAL_FORMAT_PREFIX = 1;
/// Flag of SalFormatErrorCode: for a system code without message, try its
/// low 16 bits as a system error number.
constexpr uint32_t SAL_FORMAT_SYSTEM_NUMBER = 2;

/// Name of the component that owns code's facility ("RESERR" for the
/// reader's facility 33), "Unknown module" for product facilities without
/// a name, "Unknown system module" for unnamed system facilities.
const char *SalGetErrorModuleName(uint32_t code);

/// A per-facility formatter: writes code's text into buffer and returns
/// buffer, or returns null to let the standard lookup run.
using SalErrorFormatter = char *(*)(uint32_t code, char *buffer, size_t capacity, uint32_t flags);

/// Registers formatter for facility (the first registration stays; null
/// removes the entry).  Returns 0 for a facility above 4095, else 1.
int SalRegisterErrorFormatter(uint32_t facility, SalErrorFormatter formatter);

/// Looks messageId up in the message texts and copies it, without its final
/// line break and with inserts such as "%1" left in place, into buffer.
/// Returns buffer, or null when no text was found.
char *SalLoadMessageText(uint32_t code, uint32_t messageId, char *buffer, size_t capacity);

/// Where SalLoadMessageText finds its texts: returns the text of messageId
/// (ending with its line break) or null.  Without a source no text is found.
using SalMessageSource = const char *(*)(uint32_t messageId);
void SalSetMessageSource(SalMessageSource source);

/// Writes the text of code into buffer and returns buffer: a registered
/// formatter's text, else the optional prefix followed by the message text,
/// else "<code> - unknown error code".  Null buffer: null.
char *SalFormatErrorCode(uint32_t code, char *buffer, size_t capacity, uint32_t flags);

#endif  // SAL_ERROR_FORMAT_H
