// mbcs_text.cpp - character primitives on 8-bit texts.
#include "common/mbcs_text.h"

#include <cstring>

#include "platform/code_page.h"
#include "platform/text.h"

namespace {
size_t CharLen(const uint8_t *leads, const char *p) {
  return leads[static_cast<uint8_t>(p[0])] != 0 && p[1] != '\0' ? 2 : 1;
}
}  // namespace

const char *MbcsNext(const char *p) {
  if (p == nullptr || *p == '\0') return p;
  return p + CharLen(SalLeadByteTable(), p);
}

const char *MbcsPrevious(const char *start, const char *p) {
  if (start == nullptr || p == nullptr) return nullptr;
  if (p <= start) return start;
  // The byte before a run of lead bytes ends a character whatever it is,
  // so the run pairs up from there: an odd run before p - 1 makes p - 2 a
  // lead byte of the character ending at p - 1.
  const uint8_t *leads = SalLeadByteTable();
  const char *q = p - 1;
  size_t run = 0;
  while (q - static_cast<ptrdiff_t>(run) > start && leads[static_cast<uint8_t>(q[-1 - static_cast<ptrdiff_t>(run)])] != 0)
    ++run;
  return (run & 1u) != 0 ? q - 1 : q;
}

uint32_t MbcsCharValue(const char *p) {
  if (p == nullptr) return 0;
  const uint8_t lead = static_cast<uint8_t>(p[0]);
  if (CharLen(SalLeadByteTable(), p) == 2) return lead * 256u + static_cast<uint8_t>(p[1]);
  return lead;
}

int MbcsCompareBytes(const char *a, const char *b, size_t n) {
  if (a == nullptr || b == nullptr) return a == b ? 0 : (a == nullptr ? -1 : 1);
  for (size_t i = 0; i < n; ++i) {
    const uint8_t x = static_cast<uint8_t>(a[i]);
    const uint8_t y = static_cast<uint8_t>(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) break;
  }
  return 0;
}

int MbcsAppendBytes(char *dest, size_t capacity, const char *source, size_t n) {
  if (dest == nullptr || source == nullptr || capacity == 0) return 0;
  const void *zero = std::memchr(dest, '\0', capacity);
  if (zero == nullptr) return 0;
  const size_t used = static_cast<size_t>(static_cast<const char *>(zero) - dest);
  const uint8_t *leads = SalLeadByteTable();
  size_t take = 0;
  while (take < n && source[take] != '\0') {
    const size_t len = CharLen(leads, source + take);
    if (take + len > n) break;
    take += len;
  }
  const size_t room = capacity - 1 - used;
  size_t fit = 0;
  while (fit < take) {
    const size_t len = CharLen(leads, source + fit);
    if (fit + len > room) break;
    fit += len;
  }
  std::memcpy(dest + used, source, fit);
  dest[used + fit] = '\0';
  const bool whole = fit == take && (take == n || source[take] == '\0');
  return whole ? 1 : 0;
}

const char *MbcsFindChar(const char *text, uint32_t ch) { return SafeStrChr(text, ch); }
