// language_resources.h - CLanguageDllResources: the library's localized
// texts by string id from up to four resource modules, with a cache and
// bound text variables.
#ifndef SAL_LANGUAGE_RESOURCES_H
#define SAL_LANGUAGE_RESOURCES_H

#include <cstdint>

#include "platform/module.h"

class CLanguageDllResourceTable;

/// Resource module indices.
enum : int {
  SAL_RESOURCES_LIBRARY = 0,          // the library's own module or its language variant
  SAL_RESOURCES_COMMON = 1,           // locStringsCommon
  SAL_RESOURCES_KERNEL_COMMON = 2,    // locStringsKernelCommon
  SAL_RESOURCES_KERNEL_FEATURES = 3,  // locStringsKernelFeatures
};

/// Looks texts up by string id in the modules registered under the indices
/// 0 to 3 and keeps every text found in a cache.  All objects share one
/// process-wide table (cache, bindings, module handles), which the first
/// object creates and whose destruction ends the texts of all of them: an
/// object whose table is gone answers every lookup with its default.
///
/// The cache is keyed by string id alone: a text loaded for an id from one
/// index answers the same id on every index.  The cache and the bindings
/// are guarded by the table's re-entrant lock; SetModule is not locked and
/// belongs to the time before other threads use the object.
class CLanguageDllResources {
 public:
  /// Clears the fields and fetches the table (creating it when the process
  /// has none yet).
  CLanguageDllResources();
  /// When it holds the table: restores the bound variables and destroys the
  /// table for every object of the process.
  virtual ~CLanguageDllResources();
  CLanguageDllResources(const CLanguageDllResources &) = delete;
  CLanguageDllResources &operator=(const CLanguageDllResources &) = delete;

  /// Stores handle for index 0 to 3 (none: the host program's own
  /// resources); other indices are ignored.
  void SetModule(int index, SalModuleHandle handle);
  /// The handle for index; null outside 0 to 3.
  SalModuleHandle GetModule(int index);

  /// The text of string id: from the cache, whatever module it came from,
  /// else loaded from module index, else defaultText (also for id 0 and an
  /// index outside 0 to 3).  A cached text stays valid until the same id is
  /// stored again or the table is destroyed.
  const char *GetString(int index, uint32_t id, const char *defaultText);
  /// Loads id from module index (at most 2047 bytes) into the cache and
  /// returns the cached text; null when the module has no text for it (an
  /// empty text counts as none), for id 0 and for an index outside 0 to 3.
  const char *LoadModuleString(int index, uint32_t id);
  /// The cached text for id, or null.
  const char *FindString(uint32_t id);
  /// Caches a copy of text under id, replacing the text cached before.
  /// Returns 0 when it cannot be stored (or text is null or the table is
  /// gone); the old text then stays.
  int StoreString(uint32_t id, const char *text);

  /// Binds the text variable *variable to (index, id): records the binding
  /// with the variable's current text as its saved text, replacing any
  /// binding of the same variable.  Nothing is bound for id 0 or an index
  /// outside 0 to 3.
  void BindString(int index, uint32_t id, const char **variable);
  /// Sets *variable to defaultText first, then binds it.
  void BindString(int index, uint32_t id, const char **variable, const char *defaultText);
  /// Gives every bound variable the text of its (index, id), in ascending
  /// order of the variables' addresses; one whose text is missing keeps its
  /// text.
  void ReloadBoundStrings();
  /// Gives every bound variable its saved text back.
  void RestoreBoundStrings();
  /// Restores the bound variables, then empties the cache and the bindings.
  void ClearBindings();

  /// Whether the attach sequence loaded a language variant for index 0.
  void SetLanguageModuleLoaded(bool loaded) { languageModuleLoaded_ = loaded; }
  bool IsLanguageModuleLoaded() const { return languageModuleLoaded_; }

 private:
  CLanguageDllResourceTable *Table();

  CLanguageDllResourceTable *table_;  // the process-wide table once fetched
  bool languageModuleLoaded_;         // set at attach; nothing in the library reads it
};

/// The library's one resources object.
CLanguageDllResources &SalGetLibraryResources();

/// Makes resources answer the texts that the layers below the messages
/// layer show (SalSetTextLookup); null removes the lookup, so that their
/// compiled-in defaults answer.  The attach sequence installs the library's
/// resources object.
void SalInstallTextLookup(CLanguageDllResources *resources);

/// For tests only: after a table was destroyed, lets the next fetch create a
/// new one, as if the process had never had a table.
void SalAllowNewResourceTable();

#endif  // SAL_LANGUAGE_RESOURCES_H
