// library_objects.h - private: the process-wide objects of the messages
// subsystem, built at their first use (at the latest by the library's entry
// point) and destroyed at unload in the reverse order (the resources object
// before the formatter registry).
#ifndef SAL_LIBRARY_OBJECTS_H
#define SAL_LIBRARY_OBJECTS_H

#include <cstdint>
#include <map>
#include <mutex>

#include "messages/error_format.h"

/// The facility-formatter registry: facility number -> formatter.
class SalFormatterRegistry {
 public:
  SalFormatterRegistry();
  ~SalFormatterRegistry();
  SalFormatterRegistry(const SalFormatterRegistry &) = delete;
  SalFormatterRegistry &operator=(const SalFormatterRegistry &) = delete;

  /// The facility's formatter, or null.
  SalErrorFormatter Find(uint32_t facility);
  /// Inserts formatter unless the facility has one; null removes the entry.
  /// False when the entry could not be stored.
  bool Set(uint32_t facility, SalErrorFormatter formatter);

 private:
  std::mutex lock_;  // registrations and lookups may come from any thread
  std::map<uint32_t, SalErrorFormatter> formatters_;
};

/// The registry (built at the first call); null after it is destroyed.
SalFormatterRegistry *SalGetFormatterRegistry();

#endif  // SAL_LIBRARY_OBJECTS_H
