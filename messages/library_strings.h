// library_strings.h - the library's own string table (ids 47208-47212).
#ifndef SAL_LIBRARY_STRINGS_H
#define SAL_LIBRARY_STRINGS_H

#include <cstdint>

/// String id of the severe-error format ("%s" message, "%d" number).
constexpr uint32_t kStrSevereErrorFormat = 47208;

/// The library's string for id, or fallback when the table has none.
const char *SalGetLibraryString(uint32_t id, const char *fallback);

#endif  // SAL_LIBRARY_STRINGS_H
