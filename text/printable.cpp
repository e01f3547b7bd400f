// printable.cpp - the printable tests and CCommonString's masking of
// unprintable bytes.
#include "text/printable.h"

#include "base/code_page.h"
#include "base/common_string.h"
#include "text/char_class.h"

bool IsPrintableChar(unsigned char c) { return IsCharClass(c, kCharPrintable); }

bool IsPrintableOrHighChar(unsigned char c) { return (c >= 32 && c <= 126) || (c >= 128 && c <= 254); }

bool IsSpaceChar(unsigned char c) { return (c >= 9 && c <= 13) || c == ' '; }

bool IsSpaceCharW(char16_t c) { return (c >= 9 && c <= 13) || c == u' '; }

namespace {

template <bool (*Printable)(unsigned char)>
int AllPrintable(const unsigned char *p, const unsigned char *end) {
  for (; p < end; ++p)
    if (!Printable(*p) && !IsSpaceChar(*p)) return 0;
  return 1;
}

template <bool (*Printable)(unsigned char)>
int TextPrintable(const char *text) {
  if (text == nullptr) return 0;
  for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p != 0; ++p)
    if (!Printable(*p) && !IsSpaceChar(*p)) return 0;
  return 1;
}

template <bool (*Printable)(unsigned char)>
int RangePrintableMbcs(const void *data, uint32_t length, uint32_t codePage) {
  if (length == 0) return 1;
  if (data == nullptr) return 0;
  if (codePage == 0) codePage = SalGetAnsiCodePage();
  const unsigned char *p = static_cast<const unsigned char *>(data);
  for (uint32_t i = 0; i < length; ++i) {
    if (SalIsDbcsLeadByteEx(codePage, p[i])) {
      ++i;  // the trail byte, whatever it is
    } else if (!Printable(p[i]) && !IsSpaceChar(p[i])) {
      return 0;
    }
  }
  return 1;
}

}  // namespace

int IsPrintableText(const char *text) { return TextPrintable<IsPrintableChar>(text); }

int IsPrintableOrHighText(const char *text) { return TextPrintable<IsPrintableOrHighChar>(text); }

int IsPrintableRange(const void *data, uint32_t length) {
  if (data == nullptr) return 0;
  const unsigned char *p = static_cast<const unsigned char *>(data);
  return AllPrintable<IsPrintableChar>(p, p + length);
}

int IsPrintableRangeMbcs(const void *data, uint32_t length, uint32_t codePage) {
  return RangePrintableMbcs<IsPrintableChar>(data, length, codePage);
}

int IsPrintableOrHighRangeMbcs(const void *data, uint32_t length, uint32_t codePage) {
  return RangePrintableMbcs<IsPrintableOrHighChar>(data, length, codePage);
}

int IsPrintableOrHighRangeMbcs(const void *data, uint32_t length) {
  return IsPrintableOrHighRangeMbcs(data, length, 0);
}

void CCommonString::MaskNonPrintable(char fill) {
  for (uint32_t i = 0; i < length_; ++i)
    if (!IsPrintableChar(static_cast<unsigned char>(buffer_[i]))) buffer_[i] = fill;
}

void CCommonString::MaskNonPrintableMbcs(char fill) {
  const uint8_t *leads = SalLeadByteTable();
  for (uint32_t i = 0; i < length_; ++i) {
    const unsigned char c = static_cast<unsigned char>(buffer_[i]);
    if (leads[c] != 0 && i + 1 < length_) {
      ++i;  // a double-byte character stays as it is
    } else if (!IsPrintableChar(c)) {
      buffer_[i] = fill;
    }
  }
}
