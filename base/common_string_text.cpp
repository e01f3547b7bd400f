// common_string_text.cpp - CCommonString substrings, trimming and case.
#include <cctype>
#include <cstring>

#include "base/code_page.h"
#include "base/common_string.h"
#include "base/common_string_chars.h"

using common_string::IsSpace;
using common_string::SkipChars;

// ---- substrings -----------------------------------------------------------------

CCommonString CCommonString::Left(uint32_t count) const {
  return common_string::Leftmost<CCommonString>(buffer_, length_, count);
}

CCommonString CCommonString::Right(uint32_t count) const {
  return common_string::Rightmost<CCommonString>(buffer_, length_, count);
}

CCommonString CCommonString::Mid(uint32_t position, uint32_t count) const {
  if (buffer_ == nullptr || count == 0) return CCommonString();
  if (position == 0) position = 1;
  if (position > length_) return CCommonString(buffer_ + length_, 0);
  const uint32_t rest = length_ - (position - 1);
  return CCommonString(buffer_ + position - 1, count < rest ? count : rest);
}

CCommonString CCommonString::LeftChars(uint32_t count) const {
  if (buffer_ == nullptr || count == 0) return CCommonString();
  return CCommonString(buffer_, SkipChars(SalLeadByteTable(), buffer_, TextLength(), count));
}

CCommonString CCommonString::RightChars(uint32_t count) const {
  if (buffer_ == nullptr || count == 0) return CCommonString();
  const uint32_t have = CharCount();
  const uint32_t end = TextLength();
  const uint32_t at =
      have > count ? SkipChars(SalLeadByteTable(), buffer_, end, have - count) : 0;
  return CCommonString(buffer_ + at, end - at);
}

CCommonString CCommonString::MidChars(uint32_t position, uint32_t count) const {
  if (buffer_ == nullptr || count == 0) return CCommonString();
  if (position == 0) position = 1;
  const uint8_t *leads = SalLeadByteTable();
  const uint32_t end = TextLength();
  const uint32_t at = SkipChars(leads, buffer_, end, position - 1);
  const uint32_t n = SkipChars(leads, buffer_ + at, end - at, count);
  return CCommonString(buffer_ + at, n);
}

// ---- trimming ---------------------------------------------------------------------

void CCommonString::TrimLeft() {
  const uint32_t end = TextLength();
  uint32_t i = 0;
  // A lead byte is never white space, so leading white space is found byte by byte.
  while (i < end && IsSpace(buffer_[i])) ++i;
  DeleteLeft(i);
}

void CCommonString::TrimRight() {
  const uint8_t *leads = SalLeadByteTable();
  const uint32_t end = TextLength();
  // The end of the last character that is not white space: a walk from the
  // start, because a trail byte may have any value.
  uint32_t keep = 0;
  for (uint32_t i = 0; i < end;) {
    const uint32_t len = SalCharLength(leads, buffer_ + i);
    i += len;
    if (len == 2 || !IsSpace(buffer_[i - 1])) keep = i;
  }
  if (keep == end) return;
  // Bytes behind an inner zero byte are not part of the text and stay.
  std::memmove(buffer_ + keep, buffer_ + end, length_ - end + 1u);
  length_ -= end - keep;
}

// ---- case ----------------------------------------------------------------------------

namespace {
template <int (*Convert)(int)>
void ConvertSingleBytes(char *text, uint32_t end) {
  if (text == nullptr) return;
  const uint8_t *leads = SalLeadByteTable();
  for (uint32_t i = 0; i < end;) {
    const uint32_t len = SalCharLength(leads, text + i);
    if (len == 1) text[i] = static_cast<char>(Convert(static_cast<unsigned char>(text[i])));
    i += len;
  }
}

int Upper(int c) { return std::toupper(c); }
int Lower(int c) { return std::tolower(c); }
}  // namespace

void CCommonString::MakeUpper() { ConvertSingleBytes<Upper>(buffer_, TextLength()); }

void CCommonString::MakeLower() { ConvertSingleBytes<Lower>(buffer_, TextLength()); }

CCommonStringCharRef::operator char() const { return string_.CharAt(index_); }

CCommonStringCharRef &CCommonStringCharRef::operator=(char byte) {
  if (index_ < string_.length_) string_.buffer_[index_] = byte;
  return *this;
}

// The byte alone is one single-byte character, whatever follows it.
void CCommonStringCharRef::MakeUpper() {
  if (index_ < string_.length_)
    string_.buffer_[index_] =
        static_cast<char>(std::toupper(static_cast<unsigned char>(string_.buffer_[index_])));
}

void CCommonStringCharRef::MakeLower() {
  if (index_ < string_.length_)
    string_.buffer_[index_] =
        static_cast<char>(std::tolower(static_cast<unsigned char>(string_.buffer_[index_])));
}
