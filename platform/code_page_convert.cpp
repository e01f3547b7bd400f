// code_page_convert.cpp - the code-page conversion wrappers, the UTF-16
// strings built on them, and CSalCodePageList with its per-thread
// enumeration context.
#include "platform/code_page_convert.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "base/code_page.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "base/text.h"
#include "platform/os/code_page_convert_os.h"
#include "platform/system_info.h"

namespace {

constexpr uint32_t kUtf7 = 65000;
constexpr uint32_t kUtf8 = 65001;
// Texts from this length on are refused by the string conversions: their
// UTF-16 (2n + 2 bytes) or UTF-8 (up to 5n bytes) forms would not fit the
// 32-bit lengths of CCommonString and of the converters.
constexpr size_t kLongestText = 0x3FFFFFFF;

std::atomic<uint32_t> g_versionOverride{0};

uint32_t Resolve(uint32_t codePage) { return codePage == 0 ? SalGetAnsiCodePage() : codePage; }

// The arguments every conversion refuses: no source, a length of 0 or below
// -1, a negative capacity, or no target for a capacity above 0.
template <typename In, typename Out>
bool ArgumentsFit(const In *source, int sourceLength, const Out *target, int targetCapacity) {
  return source != nullptr && sourceLength != 0 && sourceLength >= -1 && targetCapacity >= 0 &&
         (target != nullptr || targetCapacity == 0);
}

// The enumeration's state for the thread that runs it: the platform's
// enumeration hands its callback nothing but the code page's number.
struct SalCodePageEnumContext {
  uint32_t reserved;
  sal::os::CodePageNameFunction getInfoEx;  // the system's naming, or null
  CSalCodePageList *list;                   // the list being filled, or null
};
thread_local SalCodePageEnumContext t_enumContext{0, nullptr, nullptr};

// UTF-16 of n bytes of text in codePage into out, then one zero byte.
int ToWideString(uint32_t codePage, const char *text, CCommonString *out) {
  if (out == nullptr) return 0;
  out->Clear();
  if (text == nullptr) return 0;
  const size_t n = SafeStrLen(text);
  if (n >= kLongestText) return 0;
  int units = 0;
  if (n > 0) {
    // At most one unit per byte, plus room for the terminating unit.
    char *storage = out->GetBuffer(static_cast<uint32_t>(2 * n + 2));
    if (storage == nullptr) return 0;
    units = SalMultiByteToWide(codePage, text, static_cast<int>(n), reinterpret_cast<char16_t *>(storage),
                               static_cast<int>(n + 1), 0);
    out->ReleaseBuffer(units > 0 ? static_cast<uint32_t>(2 * units) : 0u);
  }
  // The zero byte comes in every case, so that out is a terminated UTF-16
  // text even when the conversion failed.
  const int terminated = out->AppendChar('\0');
  return terminated != 0 && (n == 0 || units > 0) ? 1 : 0;
}

int FromWideString(uint32_t codePage, const char16_t *text, CCommonString *out) {
  if (out == nullptr) return 0;
  if (out->HasStorage()) out->Clear();
  if (text == nullptr) return 0;
  const size_t n = SafeWcsLen(text);
  if (n == 0) return 1;
  if (n >= kLongestText / 5) return 0;
  // A unit becomes at most three bytes of UTF-8 (a pair, four) and at most
  // two bytes of a double-byte code page.
  char *storage = out->GetBuffer(static_cast<uint32_t>(5 * n + 1));
  if (storage == nullptr) return 0;
  const int bytes =
      SalWideToMultiByte(codePage, text, static_cast<int>(n), storage, static_cast<int>(5 * n), 0, nullptr, nullptr);
  out->ReleaseBuffer(bytes > 0 ? static_cast<uint32_t>(bytes) : 0u);
  return bytes > 0 ? 1 : 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------

int SalMultiByteToWide(uint32_t codePage, const char *source, int sourceLength, char16_t *target,
                       int targetCapacity, uint32_t flags) {
  // The arguments are checked here, so that every system refuses the same
  // ones (some Windows versions take any negative length as -1).
  if (!ArgumentsFit(source, sourceLength, target, targetCapacity)) return SalSetLastError(kSalErrArgument), 0;
  const int n = sal::os::MultiByteToWide(Resolve(codePage), source, sourceLength, target, targetCapacity, flags);
  if (n <= 0) return SalSetLastError(kSalErrArgument), 0;
  return n;
}

int SalWideToMultiByte(uint32_t codePage, const char16_t *source, int sourceLength, char *target,
                       int targetCapacity, uint32_t flags, const char *defaultChar, int *usedDefault) {
  if (!ArgumentsFit(source, sourceLength, target, targetCapacity)) return SalSetLastError(kSalErrArgument), 0;
  // UTF-7 and UTF-8 write every character: they take no default character.
  codePage = Resolve(codePage);
  if ((codePage == kUtf8 || codePage == kUtf7) && (defaultChar != nullptr || usedDefault != nullptr))
    return SalSetLastError(kSalErrArgument), 0;
  const int n = sal::os::WideToMultiByte(Resolve(codePage), source, sourceLength, target, targetCapacity,
                                         SalAdjustWideCharFlags(flags), defaultChar, usedDefault);
  if (n <= 0) return SalSetLastError(kSalErrArgument), 0;
  return n;
}

uint32_t SalAdjustWideCharFlagsFor(uint32_t flags, uint32_t majorVersion) {
  return majorVersion < 5 ? flags & ~static_cast<uint32_t>(SAL_WC_NO_BEST_FIT_CHARS) : flags;
}

uint32_t SalAdjustWideCharFlags(uint32_t flags) {
  // The system's version cannot change while the process runs: it is read
  // once, with a CSalSystemInfo built for the purpose.  A version that could
  // not be read (its record not allocated) is asked again next time.
  static std::atomic<uint32_t> known{0};
  uint32_t major = known.load(std::memory_order_relaxed);
  if (major == 0) {
    CSalSystemInfo info;
    major = static_cast<uint32_t>(info.GetMajorVersion());
    known.store(major, std::memory_order_relaxed);
  }
  const uint32_t forced = g_versionOverride.load(std::memory_order_relaxed);
  return SalAdjustWideCharFlagsFor(flags, forced != 0 ? forced : major);
}

void SalOverrideWideCharSystemVersion(uint32_t majorVersion) {
  g_versionOverride.store(majorVersion, std::memory_order_relaxed);
}

int SalUtf8ToWideString(const char *text, CCommonString *out) { return ToWideString(kUtf8, text, out); }

int SalAnsiToWideString(const char *text, CCommonString *out) { return ToWideString(0, text, out); }

int SalWideToUtf8String(const char16_t *text, CCommonString *out) { return FromWideString(kUtf8, text, out); }

int SalWideToAnsiString(const char16_t *text, CCommonString *out) { return FromWideString(0, text, out); }

int SalIsValidCodePage(uint32_t codePage) { return sal::os::IsValidCodePage(Resolve(codePage)) ? 1 : 0; }

int SalGetCodePageName(uint32_t codePage, CCommonString *out) {
  const sal::os::CodePageNameFunction namer = sal::os::CodePageNamer();
  if (out == nullptr || namer == nullptr) return 0;
  CCommonString name;
  if (!namer(Resolve(codePage), &name)) return 0;
  return out->Assign(name);
}

// ---------------------------------------------------------------------------
// Entries and the list
// ---------------------------------------------------------------------------

SalCodePageEntry *SalNewCodePageEntry(uint32_t codePage, const char *name) {
  void *storage = nullptr;
  if (!MemAlloc(&storage, 1, sizeof(SalCodePageEntry), "SalCodePageEntry")) return nullptr;
  auto *entry = new (storage) SalCodePageEntry{codePage, CCommonString()};
  if (name != nullptr && *name != '\0' && !entry->name.Assign(name)) {
    SalDeleteCodePageEntry(entry);
    return nullptr;
  }
  return entry;
}

void SalDeleteCodePageEntry(SalCodePageEntry *entry) {
  if (entry == nullptr) return;
  entry->~SalCodePageEntry();
  MemFree(entry);
}

struct CSalCodePageList::Link {
  Link *previous;
  Link *next;
  SalCodePageEntry *entry;
};

CSalCodePageList::~CSalCodePageList() {
  while (SalCodePageEntry *entry = UnlinkFirst()) SalDeleteCodePageEntry(entry);
}

int CSalCodePageList::LinkLast(SalCodePageEntry *entry) {
  Link *link = nullptr;
  if (entry == nullptr || !MemAllocT(&link, 1, "CSalCodePageList")) return 0;
  link->previous = last_;
  link->next = nullptr;
  link->entry = entry;
  if (last_ != nullptr) {
    last_->next = link;
  } else {
    first_ = link;
  }
  last_ = link;
  return 1;
}

SalCodePageEntry *CSalCodePageList::UnlinkFirst() {
  Link *link = first_;
  if (link == nullptr) return nullptr;
  first_ = link->next;
  if (first_ != nullptr) {
    first_->previous = nullptr;
  } else {
    last_ = nullptr;
  }
  if (cursor_ == link) cursor_ = link->next;
  SalCodePageEntry *entry = link->entry;
  MemFree(link);
  return entry;
}

int CSalCodePageList::Enumerate(int withDefault) {
  Clear();
  if (withDefault != 0) Add(SalNewCodePageEntry(0, "default"));
  SalCodePageEnumContext &context = t_enumContext;
  context.list = this;
  context.getInfoEx = sal::os::CodePageNamer();
  sal::os::EnumerateCodePages();
  // The list may be gone before the next enumeration on this thread.
  context.list = nullptr;
  cursor_ = first_;
  return first_ != nullptr ? 1 : 0;
}

int CSalCodePageList::GetNext(uint32_t *codePage, const char **name) {
  if (cursor_ == nullptr) return 0;
  const SalCodePageEntry *entry = cursor_->entry;
  if (codePage != nullptr) *codePage = entry->codePage;
  if (name != nullptr) *name = entry->name.CStr();
  cursor_ = cursor_->next;
  return 1;
}

int CSalCodePageList::Contains(uint32_t codePage) const { return GetName(codePage) != nullptr ? 1 : 0; }

const char *CSalCodePageList::GetName(uint32_t codePage) const {
  for (const Link *link = first_; link != nullptr; link = link->next)
    if (link->entry->codePage == codePage) return link->entry->name.CStr();
  return nullptr;
}

CSalCodePages::~CSalCodePages() { Clear(); }

void CSalCodePages::Add(SalCodePageEntry *entry) {
  if (entry != nullptr && !LinkLast(entry)) SalDeleteCodePageEntry(entry);
}

void CSalCodePages::Clear() {
  while (SalCodePageEntry *entry = UnlinkFirst()) SalDeleteCodePageEntry(entry);
}

// ---------------------------------------------------------------------------
// Enumeration callback
// ---------------------------------------------------------------------------

int sal::EnumCodePageProc(const char *codePageText) {
  const SalCodePageEnumContext &context = t_enumContext;
  if (context.list == nullptr || codePageText == nullptr) return 1;
  const auto codePage = static_cast<uint32_t>(std::strtoul(codePageText, nullptr, 10));
  if (context.getInfoEx != nullptr) {
    CCommonString name;
    if (context.getInfoEx(codePage, &name)) context.list->Add(SalNewCodePageEntry(codePage, name.CStr()));
  } else {
    context.list->Add(SalNewCodePageEntry(codePage, codePageText));
  }
  return 1;  // the enumeration always runs to its end
}
