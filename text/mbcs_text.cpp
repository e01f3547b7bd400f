// mbcs_text.cpp - character primitives on 8-bit texts.
#include "text/mbcs_text.h"

#include <cstring>

#include "base/code_page.h"
#include "base/text.h"

const char *MbcsNext(const char *p) {
  if (p == nullptr || *p == '\0') return p;
  return p + SalCharLength(SalLeadByteTable(), p);
}

const char *MbcsPrevious(const char *start, const char *p) {
  if (start == nullptr || p == nullptr) return nullptr;
  if (p <= start) return start;
  const char *q = p - 1;
  return SalIsTrailByte(SalLeadByteTable(), start, static_cast<size_t>(q - start)) ? q - 1 : q;
}

uint32_t MbcsCharValue(const char *p) {
  if (p == nullptr) return 0;
  const uint8_t lead = static_cast<uint8_t>(p[0]);
  if (SalCharLength(SalLeadByteTable(), p) == 2) return lead * 256u + static_cast<uint8_t>(p[1]);
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
    const size_t len = SalCharLength(leads, source + take);
    if (take + len > n) break;
    take += len;
  }
  const size_t room = capacity - 1 - used;
  size_t fit = 0;
  while (fit < take) {
    const size_t len = SalCharLength(leads, source + fit);
    if (fit + len > room) break;
    fit += len;
  }
  std::memcpy(dest + used, source, fit);
  dest[used + fit] = '\0';
  const bool whole = fit == take && (take == n || source[take] == '\0');
  return whole ? 1 : 0;
}

const char *MbcsFindChar(const char *text, uint32_t ch) { return SafeStrChr(text, ch); }
