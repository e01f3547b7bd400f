// code_page_convert.h - conversions between 8-bit code pages and UTF-16, the
// code pages the system supports, and the list that collects them.
//
// Code pages are Windows code-page numbers on every platform.  Code page 0
// is the process's ANSI code page as SalGetAnsiCodePage answers it (so an
// override set with SalOverrideAnsiCodePage holds for the conversions as
// well as for the lead-byte tests); 65001 is UTF-8.
//
// Windows converts with MultiByteToWideChar and WideCharToMultiByte.  POSIX
// converts with iconv behind a table of code-page numbers (docs/code_pages.md
// lists it), and UTF-8 with the library's own converters:
//   - bytes that do not form a character of the code page become U+FFFD,
//     one per maximal ill-formed part for UTF-8, one per byte (or per lead
//     and trail byte) elsewhere; with flag SAL_MB_ERR_INVALID_CHARS the
//     conversion fails instead.  In the code pages 1250-1258 the bytes
//     80-9F that name no character stand for U+0080-U+009F, both ways, so
//     such text survives a round trip as it does on Windows;
//   - characters the code page lacks become the default character (the
//     caller's, else '?') and set *usedDefault; no best-fit replacements are
//     made, so SAL_WC_NO_BEST_FIT_CHARS changes nothing there.  Lone
//     surrogates become U+FFFD in UTF-8 and the default character
//     elsewhere; with SAL_WC_ERR_INVALID_CHARS the conversion fails instead.
//   - the other flags of the Windows functions are accepted and ignored.
#ifndef SAL_CODE_PAGE_CONVERT_H
#define SAL_CODE_PAGE_CONVERT_H

#include <cstdint>

#include "base/common_string.h"

/// Flags of SalMultiByteToWide and SalWideToMultiByte (the Windows values).
enum : uint32_t {
  SAL_MB_ERR_INVALID_CHARS = 0x8,     // fail on input that is not text of the code page
  SAL_WC_ERR_INVALID_CHARS = 0x80,    // fail on lone surrogates
  SAL_WC_NO_BEST_FIT_CHARS = 0x400,   // no look-alike replacements
};

/// Converts sourceLength bytes of source (-1: up to and including its
/// terminator) in codePage to UTF-16 in target.  Returns the units written,
/// or with targetCapacity 0 the units needed (target may then be null).
/// Returns 0 and sets 0xE0280001 when the conversion fails: a null source,
/// a length of 0 or below -1, a negative capacity, an unknown code page,
/// invalid input under SAL_MB_ERR_INVALID_CHARS, or a target too small (its
/// contents are then unspecified).
int SalMultiByteToWide(uint32_t codePage, const char *source, int sourceLength, char16_t *target,
                       int targetCapacity, uint32_t flags);

/// Converts sourceLength units of source (-1: up to and including its
/// terminator) to codePage in target, with flags adjusted by
/// SalAdjustWideCharFlags.  defaultChar (its first character) replaces
/// characters the code page lacks, '?' when null; *usedDefault, when given,
/// says whether that happened.  UTF-8 takes neither (both must be null).
/// Results and failures as SalMultiByteToWide.
int SalWideToMultiByte(uint32_t codePage, const char16_t *source, int sourceLength, char *target,
                       int targetCapacity, uint32_t flags, const char *defaultChar, int *usedDefault);

/// flags without SAL_WC_NO_BEST_FIT_CHARS on systems whose major version
/// (CSalSystemInfo) is below 5, whose converters reject that flag; else
/// flags unchanged.  The version is read once per process (again while
/// it could not be read).
uint32_t SalAdjustWideCharFlags(uint32_t flags);

/// The same rule for a given major version.
uint32_t SalAdjustWideCharFlagsFor(uint32_t flags, uint32_t majorVersion);

/// Makes SalAdjustWideCharFlags act as on a system of the given major
/// version (0 removes the override).  For tests.
void SalOverrideWideCharSystemVersion(uint32_t majorVersion);

/// Clears out and converts the UTF-8 text into it as UTF-16 units, followed
/// by one zero byte, so that with the string's own terminator out holds a
/// zero-terminated UTF-16 text (an empty text gives length 1).  Invalid
/// input becomes U+FFFD.  Returns 1; 0 for a null text (out stays empty),
/// when storage was not obtained, for a text of 1 GiB or more, or when the
/// conversion failed (out then holds the zero byte alone).
int SalUtf8ToWideString(const char *text, CCommonString *out);

/// The same for a text in the ANSI code page.
int SalAnsiToWideString(const char *text, CCommonString *out);

/// Clears out (when it has storage) and converts the zero-terminated UTF-16
/// text into it as UTF-8 (lone surrogates become U+FFFD).  Returns 1; 0 for
/// a null text, when the conversion failed or storage was not obtained.
int SalWideToUtf8String(const char16_t *text, CCommonString *out);

/// The same for the ANSI code page, with the code page's default character
/// for characters it lacks.
int SalWideToAnsiString(const char16_t *text, CCommonString *out);

/// 1 when the system can convert codePage, else 0.
int SalIsValidCodePage(uint32_t codePage);

/// The name of codePage as the system gives it ("1252 (ANSI - Latin I)" or
/// similar).  Returns 1 and sets out; 0 when the system does not know the
/// code page or offers no names, out unchanged.
int SalGetCodePageName(uint32_t codePage, CCommonString *out);

/// One code page in a CSalCodePageList.
struct SalCodePageEntry {
  uint32_t codePage;   // Windows code-page number; 0 for "default"
  CCommonString name;  // the system's name for it, or the number as text
};

/// A heap-allocated entry for CSalCodePageList::Add; null when storage was
/// not obtained.  A null name gives an empty name.
SalCodePageEntry *SalNewCodePageEntry(uint32_t codePage, const char *name);
/// Releases an entry from SalNewCodePageEntry; null is allowed.
void SalDeleteCodePageEntry(SalCodePageEntry *entry);

/// A collection of code pages.  The base keeps the entries, in the order
/// Add received them, and a cursor; a derived class decides how Add stores
/// an entry (with LinkLast) and Clear frees them (with UnlinkFirst).  One
/// thread at a time per list; lists on different threads are independent.
class CSalCodePageList {
 public:
  CSalCodePageList(const CSalCodePageList &) = delete;
  CSalCodePageList &operator=(const CSalCodePageList &) = delete;
  /// Frees the links and any entries a derived class left behind.
  virtual ~CSalCodePageList();

  /// Takes ownership of an entry from SalNewCodePageEntry (null is
  /// ignored) and appends it.
  virtual void Add(SalCodePageEntry *entry) = 0;
  /// Removes and frees all entries.
  virtual void Clear() = 0;

  /// Clear, then: with withDefault nonzero an entry {0, "default"}; then one
  /// entry per code page the system supports, named as the system names it
  /// (a code page whose name cannot be had is left out), or named by its
  /// number when the system offers no names.  The cursor goes to the first
  /// entry.  Returns 1 when the list holds an entry afterwards, else 0.
  int Enumerate(int withDefault);
  /// The entry at the cursor: its code page and a pointer to its name
  /// (valid while the entry lives; "" for an empty name), then the cursor
  /// moves on.  Returns 0 when there is none (an empty list, the cursor at
  /// the end, or never set by Enumerate); either out-parameter may be null.
  int GetNext(uint32_t *codePage, const char **name);
  /// 1 when an entry has codePage, else 0.
  int Contains(uint32_t codePage) const;
  /// The name of the first entry with codePage ("" for an empty name), or
  /// null when there is none.
  const char *GetName(uint32_t codePage) const;

 protected:
  CSalCodePageList() = default;
  /// Appends entry (not null).  Returns 0 when the link could not be
  /// allocated; the entry then stays the caller's.
  int LinkLast(SalCodePageEntry *entry);
  /// Unlinks the first entry and gives it back; null when the list is
  /// empty.  A cursor on that entry moves to the next one.
  SalCodePageEntry *UnlinkFirst();

 private:
  struct Link;
  Link *first_ = nullptr;
  Link *last_ = nullptr;
  Link *cursor_ = nullptr;  // the entry GetNext hands out next; null: at the end
};

/// The code-page list that owns its entries: Add appends (and frees the
/// entry when it cannot), Clear frees them all.
class CSalCodePages final : public CSalCodePageList {
 public:
  CSalCodePages() = default;
  ~CSalCodePages() override;
  void Add(SalCodePageEntry *entry) override;
  void Clear() override;
};

#endif  // SAL_CODE_PAGE_CONVERT_H
