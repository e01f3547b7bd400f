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

#endif  // SAL_CONFIG_H
