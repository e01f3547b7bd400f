// common_string_path.cpp - CCommonString path-separator handling.
//
// The separator is the platform's (backslash on Windows, slash on POSIX).
// Only single-byte characters count as separators: in a double-byte code
// page the trail byte of a character may be 0x5C, the backslash.
#include "base/code_page.h"
#include "base/common_string.h"
#include "base/common_string_chars.h"
#include "base/sal_config.h"

namespace {
constexpr char kSeparator = SAL_PATH_SEPARATOR;

bool IsSlash(char c) { return c == '/' || c == '\\'; }

// The last byte when it is a character of its own, else 0.
char LastSingleByte(const char *text, uint32_t length) {
  if (length == 0) return '\0';
  const char last = text[length - 1];
  if (last == '\0' || SalIsTrailByte(SalLeadByteTable(), text, length - 1)) return '\0';
  return last;
}
}  // namespace

int CCommonString::AddBackslash() {
  if (length_ == 0 || IsSlash(LastSingleByte(buffer_, length_))) return 1;
  return AppendChar('\\');
}

int CCommonString::AddSeparator() {
  if (length_ == 0 || LastSingleByte(buffer_, length_) == kSeparator) return 1;
  return AppendChar(kSeparator);
}

void CCommonString::RemoveSeparator() {
  if (length_ != 0 && LastSingleByte(buffer_, length_) == kSeparator) DeleteLastChar();
}

int CCommonString::EnsureSeparator() {
  if (length_ == 0) return 1;
  const char last = LastSingleByte(buffer_, length_);
  if (last == kSeparator) return 1;
  if (IsSlash(last)) {
    buffer_[length_ - 1] = kSeparator;
    return 1;
  }
  return AppendChar(kSeparator);
}

void CCommonString::RemoveAnySeparator() {
  if (length_ != 0 && IsSlash(LastSingleByte(buffer_, length_))) DeleteLastChar();
}

int CCommonString::NormalizeSeparators(bool trailing) {
  if (length_ == 0) return 1;
  const uint8_t *leads = SalLeadByteTable();
  for (uint32_t i = 0; i < length_;) {
    if (leads[static_cast<uint8_t>(buffer_[i])] != 0 && buffer_[i + 1] != '\0') {
      i += 2;  // a double-byte character, whatever its trail byte
      continue;
    }
    if (IsSlash(buffer_[i])) buffer_[i] = kSeparator;
    ++i;
  }
  if (trailing) return EnsureSeparator();
  RemoveAnySeparator();
  return 1;
}
