// posix/code_page_convert_os.cpp - code-page conversions with iconv behind a
// table of Windows code-page numbers; UTF-8 with the library's converters.
// Implementation here must contain only POSIX code.
//
// Sections: the table of code pages, iconv descriptors per thread, output
// sinks, UTF-8, iconv conversions, the entry points.
//
// The conversions keep the contract of the Windows functions: -1 as the
// length takes the terminator along, capacity 0 asks for the size needed,
// a target too small fails.  Where the input holds something the code page
// cannot express, the conversion goes on with a replacement (and fails
// only when the flags ask for it); code_page_convert.h says which.
#include <errno.h>
#include <iconv.h>
#include <string.h>

#include <atomic>
#include <cstdint>
#include <initializer_list>

#include "base/code_page.h"
#include "base/text.h"
#include "platform/code_page_convert.h"
#include "platform/os/code_page_convert_os.h"
#include "platform/unicode.h"

namespace sal::os {
namespace {

// ---------------------------------------------------------------------------
// The table of code pages
// ---------------------------------------------------------------------------

enum : uint8_t {
  kPlain = 0,
  kC1Passthrough = 1,  // Windows 125x: undefined bytes 80-9F stand for U+0080-U+009F
  kStateful = 2,       // shift states: return to the initial state before raw bytes
};

struct CodePage {
  uint32_t number;
  const char *iconvName;
  const char *description;
  uint8_t traits;
};

constexpr uint32_t kUtf8 = 65001;

// Windows code-page numbers the library converts on POSIX, in ascending
// order, with the iconv name of each.  UTF-16 and UTF-32 (1200, 1201,
// 12000, 12001) are absent, as in the Windows functions.
const CodePage kCodePages[] = {
    {37, "IBM037", "IBM EBCDIC - U.S./Canada", kPlain},
    {437, "IBM437", "OEM - United States", kPlain},
    {500, "IBM500", "IBM EBCDIC - International", kPlain},
    {708, "ASMO-708", "Arabic - ASMO 708", kPlain},
    {737, "CP737", "OEM - Greek 437G", kPlain},
    {775, "CP775", "OEM - Baltic", kPlain},
    {850, "CP850", "OEM - Multilingual Latin I", kPlain},
    {852, "CP852", "OEM - Latin II", kPlain},
    {855, "CP855", "OEM - Cyrillic", kPlain},
    {857, "CP857", "OEM - Turkish", kPlain},
    {858, "CP858", "OEM - Multilingual Latin I + Euro", kPlain},
    {860, "CP860", "OEM - Portuguese", kPlain},
    {861, "CP861", "OEM - Icelandic", kPlain},
    {862, "CP862", "OEM - Hebrew", kPlain},
    {863, "CP863", "OEM - Canadian French", kPlain},
    {864, "CP864", "OEM - Arabic", kPlain},
    {865, "CP865", "OEM - Nordic", kPlain},
    {866, "CP866", "OEM - Russian", kPlain},
    {869, "CP869", "OEM - Modern Greek", kPlain},
    {874, "CP874", "ANSI/OEM - Thai", kPlain},
    {875, "CP875", "IBM EBCDIC - Modern Greek", kPlain},
    {932, "CP932", "ANSI/OEM - Japanese Shift-JIS", kPlain},
    {936, "CP936", "ANSI/OEM - Simplified Chinese GBK", kPlain},
    {949, "CP949", "ANSI/OEM - Korean Unified Hangul", kPlain},
    {950, "BIG5", "ANSI/OEM - Traditional Chinese Big5", kPlain},
    {1026, "IBM1026", "IBM EBCDIC - Turkish (Latin-5)", kPlain},
    {1047, "IBM1047", "IBM EBCDIC - Latin-1/Open System", kPlain},
    {1250, "CP1250", "ANSI - Central Europe", kC1Passthrough},
    {1251, "CP1251", "ANSI - Cyrillic", kC1Passthrough},
    {1252, "CP1252", "ANSI - Latin I", kC1Passthrough},
    {1253, "CP1253", "ANSI - Greek", kC1Passthrough},
    {1254, "CP1254", "ANSI - Turkish", kC1Passthrough},
    {1255, "CP1255", "ANSI - Hebrew", kC1Passthrough},
    {1256, "CP1256", "ANSI - Arabic", kC1Passthrough},
    {1257, "CP1257", "ANSI - Baltic", kC1Passthrough},
    {1258, "CP1258", "ANSI/OEM - Viet Nam", kC1Passthrough},
    {1361, "JOHAB", "Korean - Johab", kPlain},
    {10000, "MACINTOSH", "MAC - Roman", kPlain},
    {10007, "MAC-CYRILLIC", "MAC - Cyrillic", kPlain},
    {20127, "US-ASCII", "US-ASCII (7-bit)", kPlain},
    {20866, "KOI8-R", "Russian - KOI8-R", kPlain},
    {20932, "EUC-JP", "Japanese EUC (JIS 0208-1990 and 0212-1990)", kPlain},
    {21866, "KOI8-U", "Ukrainian - KOI8-U", kPlain},
    {28591, "ISO-8859-1", "ISO 8859-1 Latin I", kPlain},
    {28592, "ISO-8859-2", "ISO 8859-2 Central Europe", kPlain},
    {28593, "ISO-8859-3", "ISO 8859-3 Latin 3", kPlain},
    {28594, "ISO-8859-4", "ISO 8859-4 Baltic", kPlain},
    {28595, "ISO-8859-5", "ISO 8859-5 Cyrillic", kPlain},
    {28596, "ISO-8859-6", "ISO 8859-6 Arabic", kPlain},
    {28597, "ISO-8859-7", "ISO 8859-7 Greek", kPlain},
    {28598, "ISO-8859-8", "ISO 8859-8 Hebrew: Visual Ordering", kPlain},
    {28599, "ISO-8859-9", "ISO 8859-9 Latin 5", kPlain},
    {28603, "ISO-8859-13", "ISO 8859-13 Latin 7", kPlain},
    {28605, "ISO-8859-15", "ISO 8859-15 Latin 9", kPlain},
    {50220, "ISO-2022-JP", "ISO-2022 Japanese", kStateful},
    {50225, "ISO-2022-KR", "ISO-2022 Korean", kStateful},
    {51932, "EUC-JP", "EUC - Japanese", kPlain},
    {51936, "EUC-CN", "EUC - Simplified Chinese", kPlain},
    {51949, "EUC-KR", "EUC - Korean", kPlain},
    {54936, "GB18030", "GB18030 Simplified Chinese (4 Byte)", kPlain},
    {65000, "UTF-7", "UTF-7", kStateful},
    {kUtf8, "UTF-8", "UTF-8", kPlain},
};

const CodePage *Find(uint32_t number) {
  size_t low = 0, high = sizeof kCodePages / sizeof kCodePages[0];
  while (low < high) {
    const size_t mid = (low + high) / 2;
    if (kCodePages[mid].number < number) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return low < sizeof kCodePages / sizeof kCodePages[0] && kCodePages[low].number == number ? &kCodePages[low]
                                                                                            : nullptr;
}

// The special numbers of the Windows functions: the OEM and thread code
// pages are the ANSI code page here; the Macintosh code page is Mac Roman.
uint32_t Settle(uint32_t codePage) {
  switch (codePage) {
    case 1:  // CP_OEMCP
    case 3:  // CP_THREAD_ACP
      return SalGetAnsiCodePage();
    case 2:  // CP_MACCP
      return 10000;
    default:
      return codePage;
  }
}

const char *Utf16Name() {
  const char16_t probe = 1;
  unsigned char first;
  memcpy(&first, &probe, 1);
  return first == 1 ? "UTF-16LE" : "UTF-16BE";
}

// ---------------------------------------------------------------------------
// iconv descriptors, kept per thread: opening one costs far more than a
// short conversion.
// ---------------------------------------------------------------------------

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

class DescriptorCache {
 public:
  ~DescriptorCache() {
    for (Slot &slot : slots_)
      if (slot.descriptor != kNoDescriptor) iconv_close(slot.descriptor);
  }
  // A descriptor from codePage to UTF-16 (toWide) or back, in its initial
  // state; kNoDescriptor when iconv cannot convert the code page.
  iconv_t Get(const CodePage &page, bool toWide) {
    Slot *victim = &slots_[0];
    for (Slot &slot : slots_) {
      if (slot.descriptor != kNoDescriptor && slot.codePage == page.number && slot.toWide == toWide) {
        slot.lastUse = ++clock_;
        iconv(slot.descriptor, nullptr, nullptr, nullptr, nullptr);
        return slot.descriptor;
      }
      if (slot.lastUse < victim->lastUse) victim = &slot;
    }
    const iconv_t descriptor =
        toWide ? iconv_open(Utf16Name(), page.iconvName) : iconv_open(page.iconvName, Utf16Name());
    if (descriptor == kNoDescriptor) return kNoDescriptor;
    if (victim->descriptor != kNoDescriptor) iconv_close(victim->descriptor);
    *victim = Slot{descriptor, page.number, toWide, ++clock_};
    return descriptor;
  }

 private:
  struct Slot {
    iconv_t descriptor = reinterpret_cast<iconv_t>(-1);
    uint32_t codePage = 0;
    bool toWide = false;
    uint64_t lastUse = 0;
  };
  Slot slots_[6];
  uint64_t clock_ = 0;
};

iconv_t Descriptor(const CodePage &page, bool toWide) {
  thread_local DescriptorCache cache;
  return cache.Get(page, toWide);
}

// ---------------------------------------------------------------------------
// Output sinks: the caller's target, or with capacity 0 a scratch buffer
// that only counts.
// ---------------------------------------------------------------------------

template <typename Unit>
class Sink {
 public:
  Sink(Unit *target, int capacity) : target_(target), capacity_(capacity) {}

  // Room to write into directly: the rest of the target, or the scratch.
  Unit *Position() { return Counting() ? scratch_ : target_ + written_; }
  size_t Room() const {
    return Counting() ? sizeof scratch_ / sizeof(Unit) : static_cast<size_t>(capacity_ - written_);
  }
  // Accounts for count units written at Position().  False when they do
  // not fit in the count's range.
  bool Advance(size_t count) {
    if (count > static_cast<size_t>(INT32_MAX - written_)) return false;
    written_ += static_cast<int>(count);
    return true;
  }
  // Appends count units; false when the target is full.
  bool Put(const Unit *units, size_t count) {
    if (!Counting() && count > Room()) return false;
    if (!Counting()) memcpy(target_ + written_, units, count * sizeof(Unit));
    return Advance(count);
  }
  bool Counting() const { return capacity_ == 0; }
  int Written() const { return written_; }

 private:
  Unit *target_;
  int capacity_;
  int written_ = 0;
  Unit scratch_[1024];
};

// ---------------------------------------------------------------------------
// UTF-8
// ---------------------------------------------------------------------------

// Bytes of the longest start of a UTF-8 sequence at s (s < end) that could
// still become well-formed: what one U+FFFD replaces.  At least 1.
size_t IllFormedPart(const uint8_t *s, const uint8_t *end) {
  const size_t n = SalUtf8WellFormedPrefix(s, static_cast<size_t>(end - s));
  return n > 0 ? n : 1;
}

int Utf8ToWide(const uint8_t *source, size_t length, Sink<char16_t> *sink, bool failOnInvalid) {
  const uint8_t *s = source;
  const uint8_t *end = source + length;
  while (s < end) {
    char16_t *t = sink->Position();
    char16_t *const tStart = t;
    const int result = SalUtf8ToUtf16(&s, end, &t, t + sink->Room(), SAL_CONV_STRICT);
    if (!sink->Advance(static_cast<size_t>(t - tStart))) return 0;
    if (result == SAL_CONV_OK) break;
    if (result == SAL_CONV_TARGET_EXHAUSTED) {
      if (sink->Counting()) continue;  // the scratch is free again
      return 0;
    }
    if (failOnInvalid) return 0;
    static const char16_t kReplacement = 0xFFFD;
    if (!sink->Put(&kReplacement, 1)) return 0;
    s += IllFormedPart(s, end);
  }
  return sink->Written();
}

int WideToUtf8(const char16_t *source, size_t length, Sink<char> *sink, bool failOnInvalid) {
  const char16_t *s = source;
  const char16_t *end = source + length;
  while (s < end) {
    auto *t = reinterpret_cast<uint8_t *>(sink->Position());
    uint8_t *const tStart = t;
    const int result = SalUtf16ToUtf8(&s, end, &t, t + sink->Room(), SAL_CONV_STRICT);
    if (!sink->Advance(static_cast<size_t>(t - tStart))) return 0;
    if (result == SAL_CONV_OK) break;
    if (result == SAL_CONV_TARGET_EXHAUSTED) {
      if (sink->Counting()) continue;
      return 0;
    }
    // A lone surrogate (at the end too).
    if (failOnInvalid) return 0;
    if (!sink->Put("\xEF\xBF\xBD", 3)) return 0;
    ++s;
  }
  return sink->Written();
}

// ---------------------------------------------------------------------------
// iconv conversions
// ---------------------------------------------------------------------------

// Whether byte stands for nothing in a single-byte code page.
bool UndefinedByte(const CodePage &page, uint8_t byte) {
  const iconv_t cd = iconv_open(Utf16Name(), page.iconvName);
  if (cd == kNoDescriptor) return false;
  char in = static_cast<char>(byte);
  char16_t out[2];
  char *inPos = &in;
  size_t inLeft = 1;
  char *outPos = reinterpret_cast<char *>(out);
  size_t outLeft = sizeof out;
  const bool undefined = iconv(cd, &inPos, &inLeft, &outPos, &outLeft) == static_cast<size_t>(-1);
  iconv_close(cd);
  return undefined;
}

int IconvToWide(const CodePage &page, const char *source, size_t length, Sink<char16_t> *sink,
                bool failOnInvalid) {
  const iconv_t cd = Descriptor(page, true);
  if (cd == kNoDescriptor) return 0;
  char *in = const_cast<char *>(source);
  size_t inLeft = length;
  while (inLeft > 0) {
    auto *out = reinterpret_cast<char *>(sink->Position());
    const size_t room = sink->Room() * sizeof(char16_t);
    size_t outLeft = room;
    const size_t r = iconv(cd, &in, &inLeft, &out, &outLeft);
    const int error = r == static_cast<size_t>(-1) ? errno : 0;
    if (!sink->Advance((room - outLeft) / sizeof(char16_t))) return 0;
    if (error == 0) break;
    if (error == E2BIG) {
      if (sink->Counting()) continue;
      return 0;
    }
    // EILSEQ: a byte sequence the code page does not define; EINVAL: the
    // input ends inside a character.
    if (failOnInvalid) return 0;
    const auto byte = static_cast<uint8_t>(*in);
    char16_t replacement = 0xFFFD;
    size_t skip = 1;
    if ((page.traits & kC1Passthrough) != 0 && byte >= 0x80 && byte <= 0x9F) {
      replacement = byte;
    } else if (error == EILSEQ && inLeft >= 2 && SalIsDbcsLeadByteEx(page.number, byte) &&
               static_cast<uint8_t>(in[1]) >= 0x40) {
      skip = 2;  // a lead byte with a trail byte that names no character
    }
    if (!sink->Put(&replacement, 1)) return 0;
    in += skip;
    inLeft -= skip;
  }
  return sink->Written();
}

// Puts raw bytes of the code page into the output, in the initial shift
// state of a stateful code page.
bool PutRaw(iconv_t cd, const CodePage &page, Sink<char> *sink, const char *bytes, size_t count) {
  if ((page.traits & kStateful) != 0) {
    char reset[16];
    char *out = reset;
    size_t outLeft = sizeof reset;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    if (!sink->Put(reset, sizeof reset - outLeft)) return false;
  }
  return sink->Put(bytes, count);
}

int IconvFromWide(const CodePage &page, const char16_t *source, size_t length, Sink<char> *sink, bool failOnInvalid,
                  const char *defaultChar, int *usedDefault) {
  const iconv_t cd = Descriptor(page, false);
  if (cd == kNoDescriptor) return 0;
  // The default character: the caller's first character (one byte, or a
  // lead byte and its trail byte), else '?'.
  char fallback[2] = {'?', 0};
  size_t fallbackSize = 1;
  if (defaultChar != nullptr) {
    fallback[0] = defaultChar[0];
    if (defaultChar[0] != '\0' && defaultChar[1] != '\0' &&
        SalIsDbcsLeadByteEx(page.number, static_cast<unsigned char>(defaultChar[0]))) {
      fallback[1] = defaultChar[1];
      fallbackSize = 2;
    }
  }
  char *in = reinterpret_cast<char *>(const_cast<char16_t *>(source));
  size_t inLeft = length * sizeof(char16_t);
  while (true) {
    // Once all input is taken, one more call returns a stateful code page
    // to its initial state (and writes nothing for the others).
    const bool finishing = inLeft == 0;
    char *out = sink->Position();
    const size_t room = sink->Room();
    size_t outLeft = room;
    const size_t r = finishing ? iconv(cd, nullptr, nullptr, &out, &outLeft) : iconv(cd, &in, &inLeft, &out, &outLeft);
    const int error = r == static_cast<size_t>(-1) ? errno : 0;
    if (!sink->Advance(room - outLeft)) return 0;
    if (error == 0) {
      if (finishing) break;
      continue;
    }
    if (error == E2BIG) {
      if (sink->Counting()) continue;
      return 0;
    }
    if (finishing) return 0;
    // A unit the code page lacks, or a lone surrogate (EINVAL: at the end).
    // As on Windows, each unit of a surrogate pair the code page lacks gets
    // a default character of its own.
    char16_t unit;
    memcpy(&unit, in, sizeof unit);
    size_t units = 1;
    if (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) {
      char16_t next;
      memcpy(&next, in + 2, sizeof next);
      if (next >= 0xDC00 && next <= 0xDFFF) units = 2;
    }
    if (units == 1 && unit >= 0xD800 && unit <= 0xDFFF && failOnInvalid) return 0;  // a lone surrogate
    const char c1 = static_cast<char>(unit);
    if ((page.traits & kC1Passthrough) != 0 && unit >= 0x80 && unit <= 0x9F &&
        UndefinedByte(page, static_cast<uint8_t>(unit))) {
      if (!PutRaw(cd, page, sink, &c1, 1)) return 0;
    } else {
      for (size_t k = 0; k < units; ++k)
        if (!PutRaw(cd, page, sink, fallback, fallbackSize)) return 0;
      if (usedDefault != nullptr) *usedDefault = 1;
    }
    in += units * sizeof(char16_t);
    inLeft -= units * sizeof(char16_t);
  }
  return sink->Written();
}

// Whether iconv converts a code page both ways, asked once per code page.
bool Convertible(const CodePage &page) {
  constexpr size_t kCount = sizeof kCodePages / sizeof kCodePages[0];
  static std::atomic<uint8_t> known[kCount];  // 0 not asked yet, 1 yes, 2 no
  std::atomic<uint8_t> &answer = known[&page - kCodePages];
  uint8_t state = answer.load(std::memory_order_relaxed);
  if (state == 0) {
    bool both = true;
    for (const bool toWide : {true, false}) {
      const iconv_t cd = toWide ? iconv_open(Utf16Name(), page.iconvName) : iconv_open(page.iconvName, Utf16Name());
      if (cd == kNoDescriptor) {
        both = false;
      } else {
        iconv_close(cd);
      }
    }
    state = both ? 1 : 2;
    answer.store(state, std::memory_order_relaxed);
  }
  return state == 1;
}

bool NameOf(uint32_t codePage, CCommonString *name) {
  const CodePage *page = Find(Settle(codePage));
  if (page == nullptr || !Convertible(*page)) return false;
  return name->Format("%u  (%s)", page->number, page->description) != 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Entry points
// ---------------------------------------------------------------------------

int MultiByteToWide(uint32_t codePage, const char *source, int sourceLength, char16_t *target,
                    int targetCapacity, uint32_t flags) {
  if (source == nullptr || sourceLength == 0 || sourceLength < -1 || targetCapacity < 0 ||
      (target == nullptr && targetCapacity > 0))
    return 0;
  const CodePage *page = Find(Settle(codePage));
  if (page == nullptr) return 0;
  const size_t length = sourceLength == -1 ? strlen(source) + 1 : static_cast<size_t>(sourceLength);
  const bool failOnInvalid = (flags & SAL_MB_ERR_INVALID_CHARS) != 0;
  Sink<char16_t> sink(target, targetCapacity);
  if (page->number == kUtf8)
    return Utf8ToWide(reinterpret_cast<const uint8_t *>(source), length, &sink, failOnInvalid);
  return IconvToWide(*page, source, length, &sink, failOnInvalid);
}

int WideToMultiByte(uint32_t codePage, const char16_t *source, int sourceLength, char *target,
                    int targetCapacity, uint32_t flags, const char *defaultChar, int *usedDefault) {
  if (source == nullptr || sourceLength == 0 || sourceLength < -1 || targetCapacity < 0 ||
      (target == nullptr && targetCapacity > 0))
    return 0;
  const CodePage *page = Find(Settle(codePage));
  if (page == nullptr) return 0;
  size_t length = static_cast<size_t>(sourceLength);
  if (sourceLength == -1) length = SafeWcsLen(source) + 1;
  const bool failOnInvalid = (flags & SAL_WC_ERR_INVALID_CHARS) != 0;
  Sink<char> sink(target, targetCapacity);
  if (page->number == kUtf8) return WideToUtf8(source, length, &sink, failOnInvalid);
  if (usedDefault != nullptr) *usedDefault = 0;
  return IconvFromWide(*page, source, length, &sink, failOnInvalid, defaultChar, usedDefault);
}

bool IsValidCodePage(uint32_t codePage) {
  const CodePage *page = Find(Settle(codePage));
  return page != nullptr && Convertible(*page);
}

CodePageNameFunction CodePageNamer() { return &NameOf; }

void EnumerateCodePages() {
  for (const CodePage &page : kCodePages) {
    if (!Convertible(page)) continue;
    char text[16];
    (void)BoundedFormat(text, sizeof text, "%u", page.number);
    (void)sal::EnumCodePageProc(text);
  }
}

}  // namespace sal::os
