// library_objects.cpp - the process-wide objects of the messages subsystem.
//
// The formatter registry and the library's resources object live in one
// record, built at its first use (at the latest by the library's entry
// point, before any export can run) and destroyed at unload: members are
// built in the order below and destroyed in the reverse order, so the
// resources object goes before the registry.  The language object, which
// the entry point builds after them, is destroyed before both.  Building
// them on first use rather than as globals also keeps the order when the
// entry point runs before the other static initialisers of the library.
#include "messages/library_objects.h"

#include <new>

#include "messages/language_resources.h"

namespace {
// Whether the registry is alive: constant-initialised, so that it reads
// false before the registry is built and after it is destroyed.
bool g_registryAlive = false;

struct LibraryObjects {
  SalFormatterRegistry registry;
  CLanguageDllResources resources;
};

LibraryObjects &Objects() {
  static LibraryObjects objects;
  return objects;
}
}  // namespace

SalFormatterRegistry::SalFormatterRegistry() { g_registryAlive = true; }

SalFormatterRegistry::~SalFormatterRegistry() { g_registryAlive = false; }

SalErrorFormatter SalFormatterRegistry::Find(uint32_t facility) {
  std::lock_guard<std::mutex> guard(lock_);
  auto it = formatters_.find(facility);
  return it != formatters_.end() ? it->second : nullptr;
}

bool SalFormatterRegistry::Set(uint32_t facility, SalErrorFormatter formatter) {
  std::lock_guard<std::mutex> guard(lock_);
  if (formatter == nullptr) {
    formatters_.erase(facility);
    return true;
  }
  try {
    formatters_.emplace(facility, formatter);  // the first registration stays
  } catch (const std::bad_alloc &) {
    return false;
  }
  return true;
}

SalFormatterRegistry *SalGetFormatterRegistry() {
  LibraryObjects &objects = Objects();  // built at the first call
  return g_registryAlive ? &objects.registry : nullptr;
}

CLanguageDllResources &SalGetLibraryResources() { return Objects().resources; }
