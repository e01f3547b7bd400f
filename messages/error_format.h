// error_format.h - names and message texts of error codes: the formatter
// registry, SalFormatErrorCode, SalLoadMessageText and the message module.
#ifndef SAL_ERROR_FORMAT_H
#define SAL_ERROR_FORMAT_H

#include <cstddef>
#include <cstdint>

#include "base/common_string.h"
#include "platform/module.h"

/// Flag of SalFormatErrorCode: put "<module>: <number> - " before the text.
constexpr uint32_t SAL_FORMAT_PREFIX = 1;
/// Flag of SalFormatErrorCode: for a system code without message, try its
/// low 16 bits as a system error number.
constexpr uint32_t SAL_FORMAT_SYSTEM_NUMBER = 2;

/// The localized name of a severity (0 success, 1 informational, 2 warning,
/// 3 error, 4 transaction exit, 5 process exit, 6 DebugBreak, any other
/// "unknown severity"): string ids 38213 to 38220 of the common strings
/// module, the English names when it has none.
const char *SalGetSeverityName(uint32_t severity);

/// The fixed name of the component that owns code's facility.  Product
/// codes: a name for the facilities 1 to 71 ("RESERR" for the reader's 33),
/// "Unknown module" for 0, 18, 19, 34, 46, 61, 70 and above 71.  System
/// codes: "SYSTEM", "RPC", ... "SETUPAPI" for 0 to 15, "Unknown system
/// module" for 5, 6 and above 15.
const char *SalGetErrorModuleName(uint32_t code);

/// A per-facility formatter: writes code's text into buffer and returns
/// buffer, or returns null to let the standard lookup run.
using SalErrorFormatter = char *(*)(uint32_t code, char *buffer, size_t capacity, uint32_t flags);

/// Registers formatter for facility; when the facility has one already,
/// the first stays.  A null formatter removes the facility's entry.
/// Returns 0 for a facility above 4095, else 1.  Register before other
/// threads format codes.
int SalRegisterErrorFormatter(uint32_t facility, SalErrorFormatter formatter);

/// Writes the text of code into buffer (capacity bytes, always terminated)
/// and returns buffer: a registered formatter's text; else, with
/// SAL_FORMAT_PREFIX, "<module>: <number> - " and the message text; else
/// "<code in decimal> - unknown error code".  A prefix that does not fit
/// stops there: buffer holds the cut prefix.  Returns null when buffer is
/// null and no formatter took the code.
char *SalFormatErrorCode(uint32_t code, char *buffer, size_t capacity, uint32_t flags);

/// Looks messageId up in the message module (the product's codes) or the
/// system's tables and copies the text, without the line break that ends
/// it and with inserts such as "%1" left in place, into buffer (bounded,
/// never splitting a double-byte character).  code chooses the table: a
/// product code of facility 31 is looked up in the system's performance
/// data library with messageId reduced to its severity and number.  Returns
/// buffer, or null when no text of 2 bytes or more was found (buffer is
/// then unchanged) or buffer is null.
char *SalLoadMessageText(uint32_t code, uint32_t messageId, char *buffer, size_t capacity);

/// The message module vortMessages (its language variant when language.ini
/// beside the host program names one), loaded as data at the first call and
/// kept for the life of the process.  Null when neither can be loaded; the
/// next call tries again.
SalModuleHandle SalGetMessageModule();

/// Replaces the cached message module handle (null: load again at the next
/// use).  The previous module is not released.
void SalSetMessageModule(SalModuleHandle module);

/// The file name of name's language variant: with the suffix that
/// language.ini beside the host program names, name up to its last "." +
/// suffix + the module ending (vortMessages.dll -> vortMessagesDEU.dll);
/// otherwise name itself.  Carries no folder.  Empty only when the text
/// cannot be stored.
CCommonString SalGetLocalizedModuleName(const char *name);

#endif  // SAL_ERROR_FORMAT_H
