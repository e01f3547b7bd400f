// sal_config.h - the one place that tells the platforms apart.
#ifndef SAL_CONFIG_H
#define SAL_CONFIG_H

#if defined(_WIN32)
#define SAL_OS_WINDOWS 1
#define SAL_OS_POSIX 0
// Windows exports come from the module-definition file alone.
#define VBS_EXPORT
#define SAL_PATH_SEPARATOR '\\'
#else
#define SAL_OS_WINDOWS 0
#define SAL_OS_POSIX 1
#define VBS_EXPORT __attribute__((visibility("default")))
#define SAL_PATH_SEPARATOR '/'
#endif

// Marks a printf-style function so that the compiler checks its calls.
// mingw-w64 needs gnu_printf (plain printf means the Microsoft runtime's
// rules there); clang knows only printf, which is the GNU form on POSIX.
#if defined(__clang__)
#define SAL_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define SAL_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(gnu_printf, fmtIndex, firstArg)))
#endif

#endif  // SAL_CONFIG_H
