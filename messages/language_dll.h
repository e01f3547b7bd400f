// language_dll.h - language selection: language.ini and CLanguageDll, which
// loads the language variant of a module.
#ifndef SAL_LANGUAGE_DLL_H
#define SAL_LANGUAGE_DLL_H

#include "base/common_string.h"
#include "platform/module.h"

/// The language suffix that the file at path names: its first line (up to
/// the first line feed, a carriage return right before it dropped), with
/// spaces and tabs removed at both ends.  Nothing else is removed, a
/// byte-order mark included.  The line may be of any length.  Empty when
/// the file cannot be opened or the line is blank (or when its text cannot
/// be stored).  The file is opened shared with readers and writers and
/// closed before returning.
CCommonString ReadLanguageFile(const char *path);

/// The path of "language.ini" in the folder of fileName: fileName up to
/// its last separator (all of it when there is none) + separator +
/// "language.ini".
CCommonString SalLanguageFileBeside(const char *fileName);

/// The file name of fileName's language variant: fileName up to the "."
/// that starts its ending (".dll"; on POSIX the ".so" with any version
/// behind it; all of the last path component when it has no "."), then
/// suffix, then the platform's module ending.  Empty when the text cannot
/// be stored.
CCommonString SalVariantModuleName(const char *fileName, const char *suffix);

/// The language variant of a module: constructed for a module handle, it
/// loads the variant that language.ini (or the language given) names and
/// holds it until destroyed; without one, the module itself serves.  Both
/// the variant and language.ini lie in the module's companion folder
/// (sal::os::CompanionFolder): beside the module, or on POSIX in its
/// private folder when it has one.
class CLanguageDll {
 public:
  /// module: the module whose variant is wanted.  language: a suffix that
  /// replaces the one of language.ini; null or "" reads language.ini.
  /// A variant that is named but cannot be loaded leaves module in use;
  /// nothing is reported.
  CLanguageDll(SalModuleHandle module, const char *language);
  /// Releases the variant when this object loaded one.
  virtual ~CLanguageDll();
  CLanguageDll(const CLanguageDll &) = delete;
  CLanguageDll &operator=(const CLanguageDll &) = delete;

  /// The variant's handle when one was loaded, else the module given.
  SalModuleHandle GetModule() const;
  /// True when the constructor loaded a variant (and owns it).
  bool OwnsModule() const { return ownsModule_; }

 private:
  bool ownsModule_;          // the variant was loaded here and is released here
  SalModuleHandle module_;   // the variant, or the module given
  CSalModule *variant_;      // owned; the loader of the variant, null without one
};

#endif  // SAL_LANGUAGE_DLL_H
