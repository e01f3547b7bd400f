// common_wide_string.cpp - CCommonWideString.
#include "text/common_wide_string.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "base/code_page.h"
#include "base/common_string_chars.h"
#include "base/last_error.h"
#include "base/mem.h"
#include "base/sal_errors.h"
#include "base/text.h"
#include "platform/code_page_convert.h"
#include "text/wide_format.h"
#include "text/wide_text.h"

namespace {
// The ANSI code page's converters with 32-bit counts: the units or bytes
// written, or with capacity 0 the number needed; 0 when the conversion
// fails (a count beyond the converters' int range fails too).
uint32_t AnsiToWide(const char *source, uint32_t n, char16_t *target, uint32_t capacity) {
  if (n > INT32_MAX || capacity > INT32_MAX) return 0;
  const int units = SalMultiByteToWide(SalGetAnsiCodePage(), source, static_cast<int>(n), target,
                                       static_cast<int>(capacity), 0);
  return units > 0 ? static_cast<uint32_t>(units) : 0;
}

uint32_t WideToAnsi(const char16_t *source, uint32_t n, char *target, uint32_t capacity) {
  if (n > INT32_MAX || capacity > INT32_MAX) return 0;
  const int bytes = SalWideToMultiByte(SalGetAnsiCodePage(), source, static_cast<int>(n), target,
                                       static_cast<int>(capacity), 0, nullptr, nullptr);
  return bytes > 0 ? static_cast<uint32_t>(bytes) : 0;
}

constexpr uint32_t kUnit = sizeof(char16_t);
constexpr char16_t kSeparator = static_cast<char16_t>(SAL_PATH_SEPARATOR);

bool IsWhite(char16_t c) { return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r'; }

uint32_t UnitsOf(const char16_t *text) { return static_cast<uint32_t>(WideLength(text)); }

// Unit-wise order of two zero-terminated texts, through convert.
template <typename Convert>
int Order(const char16_t *a, const char16_t *b, Convert convert) {
  for (;; ++a, ++b) {
    const char16_t x = convert(*a);
    const char16_t y = convert(*b);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

char16_t Same(char16_t c) { return c; }

// A comparison of the string's storage (null: none) with text under the
// null conventions of the comparisons, then unit by unit through convert.
template <typename Convert>
int CompareUnits(const char16_t *storage, const char16_t *text, bool emptyEqual, Convert convert) {
  int result = 0;
  if (common_string::NullOrder(storage != nullptr, text, emptyEqual, &result)) return result;
  return Order(storage, text, convert);
}

bool Matches(const char16_t *text, const char16_t *pattern, uint32_t n) {
  return std::memcmp(text, pattern, static_cast<size_t>(n) * kUnit) == 0;
}

int NoStorage() {
  SalRecordLastError(kCommonErrNoStorage);
  return 0;
}
}  // namespace

// ---- construction and storage -----------------------------------------------------

CCommonWideString::CCommonWideString(const char16_t *text) { Assign(text); }

CCommonWideString::CCommonWideString(const char16_t *units, uint32_t n) { Assign(units, n); }

CCommonWideString::CCommonWideString(const CCommonWideString &other) {
  if (other.buffer_ != nullptr) Assign(other.buffer_, other.length_);
}

CCommonWideString::CCommonWideString(CCommonWideString &&other) noexcept
    : length_(other.length_), buffer_(other.buffer_), capacity_(other.capacity_) {
  other.length_ = 0;
  other.buffer_ = nullptr;
  other.capacity_ = 0;
}

CCommonWideString &CCommonWideString::operator=(const CCommonWideString &other) {
  if (this != &other) {
    if (other.buffer_ != nullptr) {
      Assign(other.buffer_, other.length_);
    } else {
      Empty();
    }
  }
  return *this;
}

CCommonWideString &CCommonWideString::operator=(CCommonWideString &&other) noexcept {
  std::swap(length_, other.length_);
  std::swap(buffer_, other.buffer_);
  std::swap(capacity_, other.capacity_);
  return *this;
}

CCommonWideString::~CCommonWideString() { MemFree(buffer_); }

bool CCommonWideString::ResizeTo(uint32_t bytes) {
  void *block = buffer_;
  if (MemRealloc(&block, bytes) == 0) return NoStorage() != 0;
  const bool fresh = buffer_ == nullptr;
  buffer_ = static_cast<char16_t *>(block);
  capacity_ = bytes;
  if (fresh) length_ = 0;
  const uint32_t room = bytes / kUnit - 1;
  if (length_ > room) length_ = room;
  buffer_[length_] = 0;
  return true;
}

bool CCommonWideString::Ensure(uint64_t units) {
  const uint64_t bytes = (units + 1) * kUnit;
  if (bytes > 0xFFFFFFFEull) return NoStorage() != 0;
  return capacity_ >= bytes || ResizeTo(static_cast<uint32_t>(bytes));
}

bool CCommonWideString::Owns(const char16_t *units, uint32_t n) const {
  if (buffer_ == nullptr || units == nullptr) return false;
  const uintptr_t start = reinterpret_cast<uintptr_t>(buffer_);
  const uintptr_t end = start + capacity_;
  const uintptr_t first = reinterpret_cast<uintptr_t>(units);
  return first < end && first + static_cast<uintptr_t>(n) * kUnit > start;
}

int CCommonWideString::Assign(const char16_t *units, uint32_t n) {
  if (units == nullptr) {
    Empty();
    return 1;
  }
  // The source may lie in the own storage, which a resize may move.
  const bool inside = Owns(units, n > 0 ? n : 1);
  const size_t offset = inside ? static_cast<size_t>(units - buffer_) : 0;
  if (!Ensure(n)) return 0;
  const char16_t *source = inside ? buffer_ + offset : units;
  std::memmove(buffer_, source, static_cast<size_t>(n) * kUnit);
  length_ = n;
  buffer_[n] = 0;
  return 1;
}

int CCommonWideString::Assign(const char16_t *text) {
  if (text == nullptr) {
    Empty();
    return 1;
  }
  return Assign(text, UnitsOf(text));
}

int CCommonWideString::Assign(const char *text, uint32_t n) {
  if (text == nullptr || n == 0) {
    Empty();
    return 1;
  }
  if (!Ensure(n)) return 0;
  const uint32_t converted = AnsiToWide(text, n, buffer_, n);
  length_ = converted;
  buffer_[length_] = 0;
  if (converted == 0) {
    Empty();
    return 0;
  }
  return 1;
}

void CCommonWideString::Empty() {
  MemFree(buffer_);
  buffer_ = nullptr;
  length_ = 0;
  capacity_ = 0;
}

void CCommonWideString::Clear() {
  length_ = 0;
  if (buffer_ != nullptr) buffer_[0] = 0;
}

int CCommonWideString::Reserve(uint32_t bytes) {
  if (capacity_ >= bytes) return 1;
  return Resize(bytes);
}

int CCommonWideString::Resize(uint32_t bytes) {
  if (bytes == 0) {
    Empty();
    return 1;
  }
  if (bytes > 0xFFFFFFFEu) return NoStorage();
  const uint32_t even = bytes < kUnit ? kUnit : (bytes + 1) & ~1u;
  if (even == capacity_) return 1;
  return ResizeTo(even) ? 1 : 0;
}

char16_t *CCommonWideString::GetBuffer(uint32_t bytes) {
  if (bytes > 0) {
    if (Reserve(bytes) == 0) return nullptr;
    return buffer_;
  }
  if (buffer_ == nullptr) return nullptr;
  buffer_[capacity_ / kUnit - 1] = 0;
  return buffer_;
}

void CCommonWideString::ReleaseBuffer(uint32_t newLengthInBytes) {
  if (buffer_ == nullptr) return;
  const uint32_t room = capacity_ / kUnit - 1;
  const uint32_t units = newLengthInBytes / kUnit;
  if (newLengthInBytes == kAll || units > room) {
    buffer_[room] = 0;
    length_ = UnitsOf(buffer_);
  } else {
    length_ = units;
  }
  buffer_[length_] = 0;
}

// ---- appending and formatting ---------------------------------------------------

int CCommonWideString::AppendUnits(const char16_t *units, uint32_t n) {
  if (units == nullptr || n == 0) return 1;
  const bool inside = Owns(units, n);
  const size_t offset = inside ? static_cast<size_t>(units - buffer_) : 0;
  if (!Ensure(static_cast<uint64_t>(length_) + n)) return 0;
  const char16_t *source = inside ? buffer_ + offset : units;
  std::memmove(buffer_ + length_, source, static_cast<size_t>(n) * kUnit);
  length_ += n;
  buffer_[length_] = 0;
  return 1;
}

int CCommonWideString::AppendChar(char16_t unit) {
  if (!Ensure(static_cast<uint64_t>(length_) + 1)) return 0;
  buffer_[length_++] = unit;
  buffer_[length_] = 0;
  return 1;
}

int CCommonWideString::Format(const char16_t *format, ...) {
  SAL_RETURN_VA_CALL(args, format, FormatV(format, args));
}

int CCommonWideString::FormatV(const char16_t *format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int count = WideFormatV(nullptr, 0, format, measure);
  va_end(measure);
  if (count < 0) {
    Empty();
    return 0;
  }
  // Fresh storage: the arguments may point into this string's text.
  CCommonWideString result;
  if (!result.Ensure(static_cast<uint64_t>(count))) return 0;
  va_list write;
  va_copy(write, args);
  WideFormatV(result.buffer_, static_cast<size_t>(count) + 1, format, write);
  va_end(write);
  result.length_ = static_cast<uint32_t>(count);
  *this = std::move(result);
  return 1;
}

int CCommonWideString::FormatAnsi(const char *format, ...) {
  va_list args;
  va_start(args, format);
  CCommonString text;
  const int formatted = text.FormatV(format, args);
  va_end(args);
  if (formatted == 0) return 0;
  return Assign(text.CStr(), text.GetLength());
}

CCommonString CCommonWideString::ToAnsi() const {
  CCommonString out;
  if (length_ == 0) return out;
  // Measured first: a unit may take more than two bytes (UTF-8 as the ANSI
  // code page takes three for most of the BMP).
  const uint32_t needed = WideToAnsi(buffer_, length_, nullptr, 0);
  if (needed == 0) return out;
  char *storage = out.GetBuffer(needed + 1);
  if (storage == nullptr) return out;
  const uint32_t written = WideToAnsi(buffer_, length_, storage, needed);
  out.ReleaseBuffer(written);
  if (written == 0) out.Empty();
  return out;
}

// ---- comparison --------------------------------------------------------------------

int CCommonWideString::Compare(const char16_t *text) const { return CompareUnits(buffer_, text, false, Same); }

int CCommonWideString::CompareEmptyEqual(const char16_t *text) const {
  return CompareUnits(buffer_, text, true, Same);
}

int CCommonWideString::CompareNoCase(const char16_t *text) const {
  return CompareUnits(buffer_, text, false, WideLower);
}

int CCommonWideString::CompareNoCaseEmptyEqual(const char16_t *text) const {
  return CompareUnits(buffer_, text, true, WideLower);
}

int CCommonWideString::EndsWithNoCase(const char16_t *text) const {
  if (text == nullptr) return buffer_ == nullptr ? 1 : 0;
  const uint32_t n = UnitsOf(text);
  if (n > length_) return 0;
  const char16_t *tail = buffer_ + (length_ - n);
  for (uint32_t i = 0; i < n; ++i)
    if (WideLower(tail[i]) != WideLower(text[i])) return 0;
  return 1;
}

// ---- searching, counting, replacing ------------------------------------------------

int CCommonWideString::Find(const char16_t *text, uint32_t *outIndex) const {
  if (length_ == 0 || text == nullptr || *text == 0) return 0;
  const char16_t *hit = WideFind(buffer_, length_, text, UnitsOf(text));
  if (hit == nullptr) return 0;
  if (outIndex != nullptr) *outIndex = static_cast<uint32_t>(hit - buffer_);
  return 1;
}

uint32_t CCommonWideString::Count(const char16_t *text, uint32_t start) const {
  const uint32_t n = UnitsOf(text);
  if (n == 0 || length_ == 0) return 0;
  uint32_t i = start > 0 ? start - 1 : 0;
  uint32_t count = 0;
  while (i < length_) {
    const char16_t *hit = WideFind(buffer_ + i, length_ - i, text, n);
    if (hit == nullptr) break;
    ++count;
    i = static_cast<uint32_t>(hit - buffer_) + n;
  }
  return count;
}

uint32_t CCommonWideString::Replace(const char16_t *find, const char16_t *replacement, uint32_t start,
                                    uint32_t maxCount) {
  const uint32_t n = UnitsOf(find);
  if (length_ == 0 || n == 0 || replacement == nullptr || start == 0 || maxCount == 0) return 0;
  const uint32_t m = UnitsOf(replacement);
  if (Owns(find, n) || Owns(replacement, m > 0 ? m : 1)) return 0;
  if (start > length_) return 0;
  const uint32_t from = start - 1;
  if (m <= n) {
    // Not longer: rewrite in place behind the read position.
    uint32_t r = from;
    uint32_t w = from;
    uint32_t count = 0;
    while (r < length_) {
      if (count < maxCount && r + n <= length_ && Matches(buffer_ + r, find, n)) {
        std::memcpy(buffer_ + w, replacement, static_cast<size_t>(m) * kUnit);
        w += m;
        r += n;
        ++count;
      } else {
        buffer_[w++] = buffer_[r++];
      }
    }
    length_ = w;
    buffer_[length_] = 0;
    return count;
  }
  const uint32_t count = [&] {
    uint32_t c = 0;
    for (uint32_t i = from; c < maxCount && i + n <= length_;) {
      if (Matches(buffer_ + i, find, n)) {
        ++c;
        i += n;
      } else {
        ++i;
      }
    }
    return c;
  }();
  if (count == 0) return 0;
  const uint64_t newLength = length_ + static_cast<uint64_t>(m - n) * count;
  CCommonWideString result;
  if (!result.Ensure(newLength)) return 0;
  uint32_t w = from;
  std::memcpy(result.buffer_, buffer_, static_cast<size_t>(from) * kUnit);
  uint32_t done = 0;
  for (uint32_t r = from; r < length_;) {
    if (done < count && r + n <= length_ && Matches(buffer_ + r, find, n)) {
      std::memcpy(result.buffer_ + w, replacement, static_cast<size_t>(m) * kUnit);
      w += m;
      r += n;
      ++done;
    } else {
      result.buffer_[w++] = buffer_[r++];
    }
  }
  result.length_ = w;
  result.buffer_[w] = 0;
  *this = std::move(result);
  return count;
}

uint32_t CCommonWideString::FindSpace(uint32_t start) const {
  for (uint32_t i = start > 0 ? start - 1 : 0; i < length_; ++i)
    if (IsWhite(buffer_[i])) return i + 1;
  return 0;
}

uint32_t CCommonWideString::FindNonSpace(uint32_t start) const {
  for (uint32_t i = start > 0 ? start - 1 : 0; i < length_; ++i)
    if (!IsWhite(buffer_[i])) return i + 1;
  return 0;
}

// ---- substrings and editing --------------------------------------------------------

CCommonWideString CCommonWideString::Left(uint32_t n) const {
  return common_string::Leftmost<CCommonWideString>(buffer_, length_, n);
}

CCommonWideString CCommonWideString::Right(uint32_t n) const {
  return common_string::Rightmost<CCommonWideString>(buffer_, length_, n);
}

CCommonWideString CCommonWideString::Mid(uint32_t start, uint32_t n) const {
  if (buffer_ == nullptr || n == 0 || start >= length_) return CCommonWideString();
  const uint32_t rest = length_ - start;
  return CCommonWideString(buffer_ + start, n < rest ? n : rest);
}

int CCommonWideString::DeleteAt(uint32_t index) {
  if (index >= length_) return 0;
  std::memmove(buffer_ + index, buffer_ + index + 1, static_cast<size_t>(length_ - index) * kUnit);
  --length_;
  return 1;
}

int CCommonWideString::DeleteAtPosition(uint32_t position) { return position == 0 ? 0 : DeleteAt(position - 1); }

void CCommonWideString::Delete(uint32_t position, uint32_t count) {
  if (position == 0 || count == 0 || position > length_ || length_ == 0) return;
  const uint32_t at = position - 1;
  if (count >= length_ - at) {
    length_ = at;
  } else {
    std::memmove(buffer_ + at, buffer_ + at + count, static_cast<size_t>(length_ - at - count) * kUnit);
    length_ -= count;
  }
  buffer_[length_] = 0;
}

void CCommonWideString::DeleteLeft(uint32_t count) {
  if (count == 0 || length_ == 0) return;
  Delete(1, count);
}

void CCommonWideString::DeleteRight(uint32_t count) {
  if (count == 0 || length_ == 0) return;
  length_ = count >= length_ ? 0 : length_ - count;
  buffer_[length_] = 0;
}

void CCommonWideString::DeleteLastChar() { DeleteRight(1); }

int CCommonWideString::Splice(const char16_t *text, uint32_t position, uint32_t deleteCount) {
  if (position == 0 || text == nullptr) return 0;
  const uint32_t n = UnitsOf(text);
  if (Owns(text, n > 0 ? n : 1)) return 0;
  const uint32_t at = position - 1 < length_ ? position - 1 : length_;
  const uint32_t removed = deleteCount < length_ - at ? deleteCount : length_ - at;
  const uint64_t newLength = static_cast<uint64_t>(length_) - removed + n;
  if (!Ensure(newLength)) return 0;
  std::memmove(buffer_ + at + n, buffer_ + at + removed, static_cast<size_t>(length_ - at - removed) * kUnit);
  std::memcpy(buffer_ + at, text, static_cast<size_t>(n) * kUnit);
  length_ = static_cast<uint32_t>(newLength);
  buffer_[length_] = 0;
  return 1;
}

// ---- trimming, case, separators --------------------------------------------------

void CCommonWideString::TrimLeft() {
  uint32_t i = 0;
  while (i < length_ && IsWhite(buffer_[i])) ++i;
  if (i > 0) Delete(1, i);
}

void CCommonWideString::TrimRight() {
  uint32_t n = length_;
  while (n > 0 && IsWhite(buffer_[n - 1])) --n;
  if (n < length_) DeleteRight(length_ - n);
}

void CCommonWideString::MakeUpper() {
  for (uint32_t i = 0; i < length_; ++i) buffer_[i] = WideUpper(buffer_[i]);
}

void CCommonWideString::MakeLower() {
  for (uint32_t i = 0; i < length_; ++i) buffer_[i] = WideLower(buffer_[i]);
}

int CCommonWideString::AddBackslash() {
  if (length_ == 0) return 1;
  const char16_t last = buffer_[length_ - 1];
  return last == u'\\' || last == u'/' ? 1 : AppendChar(u'\\');
}

int CCommonWideString::AddSeparator() {
  if (length_ == 0) return 1;
  return buffer_[length_ - 1] == kSeparator ? 1 : AppendChar(kSeparator);
}

void CCommonWideString::RemoveSeparator() {
  if (length_ > 0 && buffer_[length_ - 1] == kSeparator) DeleteLastChar();
}

int CCommonWideString::EnsureSeparator() {
  if (length_ == 0) return 1;
  char16_t &last = buffer_[length_ - 1];
  if (last == kSeparator) return 1;
  if (last == u'/' || last == u'\\') {
    last = kSeparator;
    return 1;
  }
  return AppendChar(kSeparator);
}

void CCommonWideString::RemoveAnySeparator() {
  if (length_ > 0 && (buffer_[length_ - 1] == u'/' || buffer_[length_ - 1] == u'\\')) DeleteLastChar();
}

// ---- text to numbers ----------------------------------------------------------------

CCommonString CCommonWideString::Narrow() const {
  CCommonString out;
  char *storage = out.GetBuffer(length_ + 1);
  if (storage == nullptr) return out;
  uint32_t n = 0;
  // Units beyond ASCII become DEL, which no number reading accepts.
  for (; n < length_ && buffer_[n] != 0; ++n) storage[n] = buffer_[n] < 0x80 ? static_cast<char>(buffer_[n]) : '\x7F';
  out.ReleaseBuffer(n);
  return out;
}

char CCommonWideString::AsChar() const { return static_cast<char>(Narrow().AsInt64()); }
uint16_t CCommonWideString::AsUShort() const { return Narrow().AsUShort(); }
int16_t CCommonWideString::AsShort() const { return Narrow().AsShort(); }
uint32_t CCommonWideString::AsUInt() const { return Narrow().AsUInt(); }
int32_t CCommonWideString::AsInt() const { return Narrow().AsInt(); }
int64_t CCommonWideString::AsInt64() const { return Narrow().AsInt64(); }
float CCommonWideString::AsFloat() const { return Narrow().AsFloat(); }
double CCommonWideString::AsDouble() const { return Narrow().AsDouble(); }
