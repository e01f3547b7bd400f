// log_file.h - time-stamped lines appended to a log file.
#ifndef SAL_LOG_FILE_H
#define SAL_LOG_FILE_H

#include <cstdarg>

#include "base/common_string.h"
#include "base/sal_config.h"

/// Appends one line to the log file at path (null or "": the default file,
/// "vortanaLog.log" in the temporary folder): the local time as
/// "YYYY-MM-DD HH:MM:SS ", the text that format and the arguments give (not
/// escaped, not cut), and "\r\n".  The file is created when missing and
/// opened deny-write, so a second writer's line is lost while one has it
/// open.  Returns 1 when the file could be opened (errors of the writes
/// after that are ignored), 0 for a null format, without a usable default
/// path, or when the open fails.
int WriteLogLine(const char *path, const char *format, ...) SAL_PRINTF_LIKE(2, 3);
int WriteLogLineV(const char *path, const char *format, va_list args);

/// The path of the default log file, "vortanaLog.log" in the temporary
/// folder (created when missing), when that folder exists and is writable;
/// otherwise a string without storage.  Worked out anew at each call;
/// WriteLogLine keeps the first successful answer for the process.
CCommonString GetDefaultLogPath();

#endif  // SAL_LOG_FILE_H
